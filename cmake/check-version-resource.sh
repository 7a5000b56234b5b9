#!/bin/sh
# Checks the version resource of a built Windows module as a file: the fixed
# part (signature, file and product version, OS, type) and the strings of its
# language-neutral Unicode table. Reads the resource section with objdump.
# Usage: check-version-resource.sh MODULE MACHINE VERSION TYPE DESCRIPTION PRODUCT
#   VERSION a.b.c.d; TYPE dll or app
set -eu
module=$1; machine=$2; version=$3; type=$4; description=$5; product=$6
case "$machine" in i386) objdump=i686-w64-mingw32-objdump ;; *) objdump=x86_64-w64-mingw32-objdump ;; esac
fail() { echo "$module: $*"; exit 1; }

# The section as one string of hexadecimal digits.
hex=$($objdump -s -j .rsrc "$module" | sed -n 's/^ [0-9a-f]\{4,\} \(\([0-9a-f]\{2,8\} \)\{1,4\}\).*/\1/p' | tr -d ' \n')
[ -n "$hex" ] || fail "no resource section"
le32() { printf '%08x' "$1" | sed 's/\(..\)\(..\)\(..\)\(..\)/\4\3\2\1/'; }
utf16() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../&00/g'; }

IFS=. read -r a b c d <<EOV
$version
EOV
high=$(le32 $((a << 16 | b))); low=$(le32 $((c << 16 | d)))
case "$type" in dll) file_type=$(le32 2) ;; app) file_type=$(le32 1) ;; *) fail "unknown type $type" ;; esac
# signature, structure version 1.0, file and product version, flags mask and
# flags (any), OS: Windows NT (0x40004), then the type.
fixed="bd04effe$(le32 0x10000)$high$low$high$low"
echo "$hex" | grep -q "$fixed" || fail "the fixed part does not give version $version"
echo "$hex" | grep -q "${fixed}................$(le32 0x40004)$file_type" || fail "OS or file type differ"

echo "$hex" | grep -q "$(utf16 000004b0)" || fail "no language-neutral Unicode string table (000004b0)"
for pair in "FileVersion=$version" "ProductVersion=$version" "FileDescription=$description" "ProductName=$product"; do
  key=${pair%%=*}; value=${pair#*=}
  # key, its terminator, padding to four bytes, the value and its terminator
  echo "$hex" | grep -q -E "$(utf16 "$key")0000(0000)?$(utf16 "$value")0000" || fail "$key is not \"$value\""
done
echo "$hex" | grep -q -E "$(utf16 Translation)0000(0000)?0000b004" || fail "the translation is not language-neutral, Unicode"
echo "$module: version resource $version, \"$description\", \"$product\""
