#!/bin/bash
# The main job: installs what is missing, builds the deliverables for Windows
# and for Linux and the tools, and puts them under dist/ with a summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh
scripts/build.sh native win32

rm -rf dist
mkdir -p dist/windows dist/linux dist/tools dist/include
summary=dist/SUMMARY.txt

# Every file named here must exist: a missing one means a build went wrong,
# and the kit stops rather than ship without it.
copy_all() {  # copy_all DEST FILE...
  local dest=$1; shift
  for f in "$@"; do
    if [ ! -f "$f" ]; then
      echo "kit.sh: $f is missing; was it built?" >&2
      exit 1
    fi
    cp "$f" "$dest/"
  done
}

copy_all dist/windows build/win32/bin/lexmsg.dll build/win32/lib/liblexmsg.dll.a build/win32/bin/sweepkit-install.exe
copy_all dist/linux build/native/bin/liblexmsg.so
copy_all dist/tools build/native/bin/sweepkit-sign build/native/bin/lexmsg-compile
copy_all dist/include lexmsg/include/lexmsg.h

# The library's packages: Debian packages from the native tree, the Windows
# SDK zip from the win32 tree; lintian's word on the Debian ones.
mkdir -p dist/packages
(cd build/native && cpack -B "$root/dist/packages/native" >/dev/null)
(cd build/win32 && cpack -B "$root/dist/packages/win32" >/dev/null)
mv dist/packages/native/*.deb dist/packages/win32/*.zip dist/packages/
rm -rf dist/packages/native dist/packages/win32
lintian dist/packages/*.deb > dist/packages/lintian.txt 2>&1 || true

{
  echo "Ostrel Sweepkit, built $(date -u '+%Y-%m-%d %H:%M UTC') from $(git rev-parse --short HEAD 2>/dev/null || echo 'a work tree')"
  echo
  for f in dist/windows/* dist/linux/* dist/tools/* dist/packages/*.deb dist/packages/*.zip; do
    [ -f "$f" ] || continue
    printf '%-46s %9s bytes  %s\n' "$f" "$(stat -c %s "$f")" "$(file -b "$f" | cut -c1-70)"
  done
  echo
  echo "lexmsg.dll: $(scripts/check-exports.sh dist/windows/lexmsg.dll lexmsg/lexmsg.def | tr '\n' ' ')"
  echo "liblexmsg.so: $(scripts/check-exports.sh dist/linux/liblexmsg.so lexmsg/lexmsg.def | tr '\n' ' ')"
  echo "sweepkit-install.exe: $(installer/tests/check_program_file.sh dist/windows/sweepkit-install.exe x86 | tail -1)"
  echo "lintian on the Debian packages (dist/packages/lintian.txt):"
  grep -v 'running with root privileges' dist/packages/lintian.txt | sed 's/^/  /'
} > "$summary"
cat "$summary"
