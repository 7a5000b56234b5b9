#!/bin/sh
# Checks a built Windows module as a file: its format and machine, that it is
# a DLL or a program of the GUI subsystem, and that it imports only Windows'
# own DLLs (so it runs on a bare system). Prints the imports.
# Usage: check-pe.sh MODULE MACHINE   (MACHINE: i386 or x86-64)
set -eu
module=$1; machine=$2
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
# Windows GUI: 2. DLLs carry it too, as Windows' own do; programs get no console.
echo "$private" | grep -q "^Subsystem[[:space:]]*00000002[[:space:]]" \
  || fail "subsystem is not Windows GUI: $(echo "$private" | grep '^Subsystem')"
case "$module" in
  *.dll) echo "$private" | sed -n '/^Characteristics/,/^$/p' | grep -q '^[[:space:]]*DLL$' || fail "not marked as a DLL" ;;
esac

imports=$(echo "$private" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
system='kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|shlwapi|comctl32|version|msvcrt|api-ms-win-[a-z0-9-]*'
bad=$(echo "$imports" | grep -v -x -E "($system)\.dll" || true)
[ -z "$bad" ] || fail "imports DLLs outside Windows: $(echo $bad)"
echo "$module: $format, subsystem Windows GUI, imports: $(echo $imports)"
