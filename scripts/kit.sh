#!/bin/bash
# The main job: installs what is missing, builds the deliverables for Windows
# and for Linux and the tools, and gathers under dist/:
#   kit/                       the signed installation folder (PE32)
#   ostrel-sweepkit-setup.exe  the setup program that installs it
#   windows/ linux/ tools/ include/   the modules, tools and header
#   packages/                  the Debian packages, the Windows SDK zip, lintian's output
#   walkthrough/               REPORT.md and screenshots of the kit under Wine
#   SUMMARY.txt                what was built and signed, and how it checked
# --no-walkthrough skips the walk-through.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
walkthrough=true
for arg in "$@"; do
  case "$arg" in
    --no-walkthrough) walkthrough=false ;;
    *) echo "usage: scripts/kit.sh [--no-walkthrough]" >&2; exit 2 ;;
  esac
done
scripts/setup.sh
scripts/build.sh native win32

rm -rf dist
mkdir -p dist/windows dist/linux dist/tools dist/include dist/packages
summary=dist/SUMMARY.txt

cp build/win32/bin/lexmsg.dll build/win32/lib/liblexmsg.dll.a build/win32/bin/sweepkit-install.exe dist/windows/
cp build/native/bin/liblexmsg.so.1.7.3 dist/linux/
cp build/native/bin/sweepkit-sign build/native/bin/lexmsg-compile dist/tools/
cp lexmsg/include/lexmsg.h dist/include/

echo "== kit"
signatures=$(kit/assemble.sh dist/kit dist/ostrel-sweepkit-setup.exe build/win32/bin build/native/bin)
echo "$signatures"

echo "== packages"
# Debian packages from the native tree, the Windows SDK zip from the win32 tree.
(cd build/native && cpack -B "$root/dist/packages/native" >/dev/null)
(cd build/win32 && cpack -B "$root/dist/packages/win32" >/dev/null)
mv dist/packages/native/*.deb dist/packages/win32/*.zip dist/packages/
rm -rf dist/packages/native dist/packages/win32
lintian dist/packages/*.deb 2>&1 | grep -v 'running with root privileges' > dist/packages/lintian.txt || true
ls dist/packages

walk="not run (--no-walkthrough)"
if $walkthrough; then
  echo "== walk-through (dist/walkthrough/REPORT.md)"
  start=$SECONDS
  if kit/walkthrough.sh dist/ostrel-sweepkit-setup.exe dist/walkthrough; then
    walk="every step as expected ($((SECONDS - start)) s)"
  else
    walk="NOT every step as expected ($((SECONDS - start)) s): see dist/walkthrough/REPORT.md"
  fi
fi

{
  echo "Ostrel Sweepkit, built $(date -u '+%Y-%m-%d %H:%M UTC') from $(git rev-parse --short HEAD 2>/dev/null || echo 'a work tree')"
  echo
  for f in dist/ostrel-sweepkit-setup.exe dist/kit/* dist/windows/* dist/linux/* dist/tools/* dist/packages/*.deb dist/packages/*.zip; do
    printf '%-46s %9s bytes  %s\n' "$f" "$(stat -c %s "$f")" "$(file -b "$f" | cut -c1-60)"
  done
  echo
  echo "Signatures of the kit (sweepkit-sign verify --mode 2):"
  echo "$signatures" | sed 's/^/  /'
  echo "They are made with the development primary key from keys/, whose private"
  echo "half is public: these signatures prove nothing about who made the files."
  echo
  echo "lexmsg.dll: $(scripts/check-exports.sh dist/windows/lexmsg.dll lexmsg/lexmsg.def | tr '\n' ' ')"
  echo "liblexmsg.so.1.7.3: $(scripts/check-exports.sh dist/linux/liblexmsg.so.1.7.3 lexmsg/lexmsg.def | tr '\n' ' ')"
  echo "sweepkit-install.exe: $(installer/tests/check_program_file.sh dist/windows/sweepkit-install.exe x86 | tail -1)"
  echo
  echo "lintian on the Debian packages (dist/packages/lintian.txt):"
  sed 's/^/  /' dist/packages/lintian.txt
  echo
  echo "Walk-through under Wine: $walk"
} > "$summary"
cat "$summary"
