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

copy_if_built() {  # copy_if_built DEST FILE...
  local dest=$1; shift
  for f in "$@"; do
    if [ -f "$f" ]; then cp "$f" "$dest/"; fi
  done
}

copy_if_built dist/windows build/win32/bin/lexmsg.dll build/win32/lib/liblexmsg.dll.a build/win32/bin/sweepkit-install.exe
copy_if_built dist/linux build/native/bin/liblexmsg.so
copy_if_built dist/tools build/native/bin/sweepkit-sign build/native/bin/lexmsg-compile
cp lexmsg/include/lexmsg.h dist/include/

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
  if [ -f dist/windows/lexmsg.dll ]; then
    echo "lexmsg.dll: $(cmake/check-exports.sh dist/windows/lexmsg.dll lexmsg/lexmsg.def | tr '\n' ' ')"
  fi
  if [ -f dist/linux/liblexmsg.so ]; then
    echo "liblexmsg.so: $(cmake/check-exports.sh dist/linux/liblexmsg.so lexmsg/lexmsg.def | tr '\n' ' ')"
  fi
  if [ -f dist/windows/sweepkit-install.exe ]; then
    echo "sweepkit-install.exe: $(installer/tests/check_program_file.sh dist/windows/sweepkit-install.exe x86 | tail -1)"
  else
    echo "sweepkit-install.exe: not built"
  fi
  echo "lintian on the Debian packages (dist/packages/lintian.txt):"
  grep -v 'running with root privileges' dist/packages/lintian.txt | sed 's/^/  /'
} > "$summary"
cat "$summary"
