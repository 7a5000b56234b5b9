#!/bin/sh
# Runs a Windows program under Wine in a throwaway prefix inside the build tree.
# Usage: wine-run.sh ROOT LOADER PROGRAM [ARGS...]   (LOADER: wine64 or wine)
#        wine-run.sh --gtest ROOT LOADER PROGRAM [ARGS...]
#                                                    a GoogleTest program
#        wine-run.sh --ready ROOT                    makes the prefix and its
#                                                    server ready, runs nothing
#        wine-run.sh --stop ROOT                     ends the prefix's server
#
# The first run makes the prefix. Every run makes sure that one persistent
# wineserver serves the prefix, so the programs of a whole test run share it
# instead of each paying for a cold start; it ends by itself two minutes
# after its last program, or at once with --stop. The server and the
# prefix's services start with their output sent to /dev/null, so they never
# hold open a pipe of the program that happened to start them.
#
# A GoogleTest program prints its banner before it runs any test. Rarely, a
# Windows process ends within milliseconds, before its program's first line,
# with a failing code and not a word from Wine (seen once at the start of a
# win64 run on CI, never reproduced). With --gtest such a run, and only such
# a run, is made once more; each one is written to ROOT/restarts.log, which
# scripts/test.sh prints, so a program that fails that way every time still
# fails and one that did so once is still seen.
set -e
stop=false
ready=false
gtest=false
case "$1" in
  --stop) stop=true; shift ;;
  --ready) ready=true; shift ;;
  --gtest) gtest=true; shift ;;
esac
root=$1; shift
mkdir -p "$root/home"
export HOME="$root/home" WINEPREFIX="$root/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Debian's wineserver wrapper adds -p0 (end with the last program): call the
# server itself. The 64-bit one serves 32-bit programs as well.
server=/usr/lib/wine/wineserver64
[ -x "$server" ] || server=/usr/lib/wine/wineserver32

if $stop; then
  [ -d "$WINEPREFIX" ] && "$server" -k >/dev/null 2>&1 || true
  exit 0
fi

if ! $ready; then
  case "$1" in
    wine64) loader=/usr/lib/wine/wine64 ;;
    wine) loader=/usr/lib/wine/wine ;;
    *) echo "wine-run.sh: unknown loader $1" >&2; exit 2 ;;
  esac
  shift
fi

# The prefix is made, and its services started, by the 64-bit loader where
# there is one: it serves both kinds of program, and never needs 32-bit code
# (which may run only by emulation here) to get ready.
boot=/usr/lib/wine/wine64
[ -x "$boot" ] || boot=/usr/lib/wine/wine
(
  flock 9
  # 0: started now; 2: one is running already. No child may keep the lock.
  if "$server" -p120 >/dev/null 2>&1 </dev/null 9>&-; then started=true; else started=false; fi
  if [ ! -f "$WINEPREFIX/.sk-ready" ]; then
    "$boot" wineboot -i >/dev/null 2>&1 </dev/null 9>&- || true
    # A new prefix links the user's Desktop and Documents to $HOME; tests that
    # write shortcuts need a Desktop of the prefix's own.
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
    done
    touch "$WINEPREFIX/.sk-ready"
  elif $started; then
    "$boot" cmd /c exit 0 >/dev/null 2>&1 </dev/null 9>&- || true
  fi
) 9>"$root/.lock"
if $ready; then exit 0; fi
if ! $gtest; then exec "$loader" "$@"; fi

out=$(mktemp "$root/gtest-out.XXXXXX")
child=
trap 'rm -f "$out"' EXIT
trap '[ -n "$child" ] && kill "$child" 2>/dev/null; exit 143' TERM INT
attempt() {
  "$loader" "$@" >"$out" & child=$!
  rc=0; wait "$child" || rc=$?
  child=
}
attempt "$@"
if [ "$rc" -ne 0 ] && [ ! -s "$out" ]; then
  echo "$(date -u +%FT%TZ) exit $rc before the first line, run again: $*" >>"$root/restarts.log"
  echo "wine-run.sh: the program ended with $rc before its first line; running it once more" >&2
  attempt "$@"
fi
cat "$out"
exit "$rc"
