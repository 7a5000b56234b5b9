#!/bin/bash
# Assembles the signed installation folder of the kit and its setup program.
# Usage: assemble.sh KIT_DIR SETUP_EXE WINDOWS_BIN NATIVE_BIN
#   WINDOWS_BIN  a Windows tree's bin/ (sweepkit-install.exe, lexmsg.dll,
#                zrfetchpad.exe); NATIVE_BIN the native tree's bin/ (the tools)
# The loader gets its catalog embedded, then every file that the kit starts
# or loads is signed with the development primary key (binary blocks for PE
# files, a hex-text block on a comment line of its own for the script) and
# checked. Prints one line per file: NAME accepted|rejected CODE: meaning.
set -euo pipefail
kit=$1; setup=$2; windows_bin=$3; native_bin=$4
here=$(cd "$(dirname "$0")" && pwd)
sign=$native_bin/sweepkit-sign
compile=$native_bin/lexmsg-compile
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -rf "$kit" && mkdir -p "$kit"
cp "$windows_bin/sweepkit-install.exe" "$windows_bin/lexmsg.dll" "$kit/"
"$compile" compile -o "$work/zrfetchpad.cat" "$here/zrfetchpad/zrfetchpad.msg" >/dev/null
"$compile" embed --name zrfetchpad.exe -o "$kit/zrfetchpad.exe" "$windows_bin/zrfetchpad.exe" "$work/zrfetchpad.cat" >/dev/null
cp "$here/uninstall/Uninstall.vbs" "$kit/"
"$here/icons/make-icons.sh" "$kit"

for program in sweepkit-install.exe lexmsg.dll zrfetchpad.exe; do
  "$sign" sign "$kit/$program" >/dev/null
done
# The block becomes the script's last line, a comment: "'" and a space lead it.
"$sign" sign --encoding T --lead-pad 2 --lead-text "' " --tail-pad 0 "$kit/Uninstall.vbs" >/dev/null

status=0
for file in sweepkit-install.exe lexmsg.dll zrfetchpad.exe Uninstall.vbs; do
  line=$("$sign" verify --mode 2 "$kit/$file" | head -1) || status=1
  echo "$file $line"
done

makensis -V2 -DKIT_DIR="$kit" -DOUT_FILE="$setup" "$here/setup/ostrel-sweepkit-setup.nsi" >/dev/null
exit $status
