#!/bin/sh
# Checks the built sweepkit-install program as a file: a GUI program of the
# expected machine, importing only Windows' own DLLs, with the string table
# (language 0x000A, block 7, the six texts byte for byte), every field of
# the version block, and the manifest.
# Usage: check_program_file.sh PROGRAM ARCHITECTURE (x86 or amd64)
# Exits 77 (skipped) when wrestool (icoutils) is missing.
set -u
program=$1; arch=$2
case "$arch" in
  x86) objdump=i686-w64-mingw32-objdump; format=pei-i386; magic=010b ;;
  amd64) objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64; magic=020b ;;
  *) echo "unknown architecture $arch"; exit 2 ;;
esac
command -v wrestool >/dev/null 2>&1 || { echo "wrestool (icoutils) is missing"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

hex() { od -An -tx1 -v | tr -d ' \n'; }
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | hex; }
le16() { printf '%02x%02x' $(($1 & 255)) $(($1 >> 8)); }

# Machine, subsystem, imports.
headers=$($objdump -p "$program") || { echo "cannot read $program"; exit 1; }
echo "$headers" | grep -q "file format $format" && pass "format $format" || fail "not $format"
echo "$headers" | grep -Eq "^Magic[[:space:]]+$magic" && pass "optional header magic $magic" || fail "magic is not $magic"
echo "$headers" | grep -Eq '^Subsystem[[:space:]]+00000002' && pass "Windows GUI subsystem" || fail "not the GUI subsystem"
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
bad=$(echo "$imports" | tr ' ' '\n' | grep -v -x -E 'kernel32\.dll|user32\.dll|shell32\.dll|ole32\.dll|advapi32\.dll|msvcrt\.dll|' || true)
[ -z "$bad" ] && pass "imports $imports" || fail "imports DLLs outside Windows: $bad"

# Resource directory.
listing=$(wrestool -l "$program")
for entry in '--type=6 --name=7 --language=10' '--type=16 --name=1 --language=10' '--type=24 --name=1 '; do
  echo "$listing" | grep -q -- "$entry" && pass "resource $entry" || fail "no resource $entry"
done
[ "$(echo "$listing" | grep -c -- '--type=6 ')" = 1 ] && pass "one string block" || fail "string blocks: $(echo "$listing" | grep -- '--type=6 ')"

# String table block 7 (ids 96 to 111): counted UTF-16 entries without terminators.
expected=""
for id in $(seq 96 111); do
  case $id in
    101) text='Ostrel Sweepkit' ;;
    102) text='¿Seguro que desea desinstalar Ostrel Sweepkit del sistema?' ;;
    103) text='Ostrel Sweepkit' ;;
    104) text='Desinstalar Ostrel Sweepkit' ;;
    105) text='Ostrel Sweepkit no ha podido desinstalarse porque está en uso.' ;;
    106) text='No ha sido posible comprobar la autenticidad del archivo %s. No es posible iniciar Ostrel Sweepkit.' ;;
    *) text='' ;;
  esac
  units=$(utf16 "$text")
  expected="$expected$(le16 $((${#units} / 4)))$units"
done
actual=$(wrestool -x --raw --type=6 --name=7 "$program" | hex)
[ "$actual" = "$expected" ] && pass "string table block 7, byte for byte" || fail "string table block 7 differs: $actual"

# Version block: the fixed-size header exactly, then every string and the translation.
version=$(wrestool -x --raw --type=16 --name=1 "$program" | hex)
fixed=bd04effe000001000000010004000000000001000400000017000000000000000400000001000000000000000000000000000000
echo "$version" | grep -q "$fixed" && pass "fixed-size header 1.0.0.4, flags 0x17/0, OS 4, type 1/0" || fail "fixed-size header differs: $version"
pair() {  # the key, its padding, the value, each terminated
  echo "$version" | grep -Eq "$(utf16 "$1")0000(0000)?$(utf16 "$2")0000" && pass "\"$1\" = \"$2\"" || fail "\"$1\" is not \"$2\""
}
echo "$version" | grep -q "$(utf16 040a04b0)0000" && pass 'string table "040a04b0"' || fail 'no string table "040a04b0"'
pair FileDescription 'Sweepkit install helper tool'
pair FileVersion '1, 0, 0, 4'
pair InternalName 'sweepkit-install'
pair OriginalFilename 'sweepkit-install.exe'
pair ProductName 'Ostrel Sweepkit'
pair ProductVersion '1, 0, 0, 4'
echo "$version" | grep -Eq "$(utf16 Translation)0000(0000)?0a04b004" && pass "translation 0x040A, 1200" || fail "translation differs"

# Manifest.
manifest=$(wrestool -x --raw --type=24 --name=1 "$program")
for want in 'name="Microsoft.Windows.Common-Controls"' 'version="6.0.0.0"' "processorArchitecture=\"$arch\"" \
            'publicKeyToken="6595b64144ccf1df"' 'language="\*"' 'level="asInvoker"' 'uiAccess="false"' \
            'supportedOS Id="{e2011457-1546-43c5-a5fe-008deee3d3f0}"' 'supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"'; do
  echo "$manifest" | grep -q "$want" && pass "manifest $want" || fail "manifest lacks $want"
done

if [ "$failures" -ne 0 ]; then echo "$failures checks failed"; exit 1; fi
echo "all checks passed"
