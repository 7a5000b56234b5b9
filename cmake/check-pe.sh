#!/bin/sh
# Checks a built Windows module as a file: its format and machine, its
# subsystem (the GUI one unless "console" is given), that a .dll is marked as
# a DLL, and that it imports only Windows' own DLLs (so it runs on a bare
# system), or from the DLLs named after the subsystem. Prints the imports.
# Usage: check-pe.sh MODULE MACHINE [gui|console [DLL...]]   (MACHINE: i386 or x86-64)
set -eu
module=$1; machine=$2; subsystem=${3:-gui}
shift 2; [ $# -gt 0 ] && shift
allowed=$(for dll in "$@"; do printf '|%s' "${dll%.dll}"; done)
case "$machine" in
  i386) triple=i686-w64-mingw32; format=pei-i386; arch='i386'; magic='010b' ;;
  x86-64) triple=x86_64-w64-mingw32; format=pei-x86-64; arch='i386:x86-64'; magic='020b' ;;
  *) echo "unknown machine $machine"; exit 2 ;;
esac
headers=$($triple-objdump -f "$module")
private=$($triple-objdump -p "$module")
fail() { echo "$module: $*"; exit 1; }

echo "$headers" | grep -q "file format $format\$" || fail "not $format: $(echo "$headers" | grep 'file format')"
echo "$headers" | grep -q "^architecture: $arch," || fail "not for $arch: $(echo "$headers" | grep '^architecture')"
echo "$private" | grep -q "^Magic[[:space:]]*$magic[[:space:]]" || fail "optional header magic is not $magic"
# Windows GUI: 2, which DLLs carry too, as Windows' own do; console: 3.
case "$subsystem" in
  gui) number=00000002; name="Windows GUI" ;;
  console) number=00000003; name="Windows console" ;;
  *) echo "unknown subsystem $subsystem"; exit 2 ;;
esac
echo "$private" | grep -q "^Subsystem[[:space:]]*$number[[:space:]]" \
  || fail "subsystem is not $name: $(echo "$private" | grep '^Subsystem')"
case "$module" in
  *.dll) echo "$private" | sed -n '/^Characteristics/,/^$/p' | grep -q '^[[:space:]]*DLL$' || fail "not marked as a DLL" ;;
esac

imports=$(echo "$private" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
system='kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|shlwapi|comctl32|version|msvcrt|api-ms-win-[a-z0-9-]*'
bad=$(echo "$imports" | grep -v -x -E "($system$allowed)\.dll" || true)
[ -z "$bad" ] || fail "imports DLLs outside Windows: $(echo $bad)"
echo "$module: $format, subsystem $name, imports: $(echo $imports)"
