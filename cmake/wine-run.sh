#!/bin/sh
# Runs a Windows program under Wine in a throwaway prefix inside the build tree.
# Usage: wine-run.sh ROOT LOADER PROGRAM [ARGS...]   (LOADER: wine64 or wine)
#        wine-run.sh --stop ROOT                     ends the prefix's server
#
# The first run makes the prefix. Every run makes sure that one persistent
# wineserver serves the prefix, so the programs of a whole test run share it
# instead of each paying for a cold start; it ends by itself two minutes
# after its last program, or at once with --stop. The server and the
# prefix's services start with their output sent to /dev/null, so they never
# hold open a pipe of the program that happened to start them.
set -e
stop=false
if [ "$1" = "--stop" ]; then stop=true; shift; fi
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

case "$1" in
  wine64) loader=/usr/lib/wine/wine64 ;;
  wine) loader=/usr/lib/wine/wine ;;
  *) echo "wine-run.sh: unknown loader $1" >&2; exit 2 ;;
esac
shift

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
exec "$loader" "$@"
