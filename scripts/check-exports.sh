#!/bin/sh
# Checks a built lexmsg module against lexmsg.def: the same exported names,
# nothing else. A DLL is also checked as a file (cmake/check-pe.sh) for the
# machine given, i386 unless named.
# Usage: check-exports.sh MODULE DEF_FILE [MACHINE]
set -eu
module=$1; def=$2; machine=${3:-i386}
tmp=${TMPDIR:-/tmp}/check-exports.$$
trap 'rm -f "$tmp".*' EXIT
sed -n '/^EXPORTS/,$p' "$def" | sed '1d;s/[[:space:]]//g;/^$/d' | sort > "$tmp.want"
case "$module" in
  *.dll)
    "$(dirname "$0")/../cmake/check-pe.sh" "$module" "$machine"
    case "$machine" in i386) objdump=i686-w64-mingw32-objdump ;; *) objdump=x86_64-w64-mingw32-objdump ;; esac
    $objdump -p "$module" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed '1d' \
      | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([A-Za-z_0-9]*\).*/\1/p' | sort > "$tmp.have"
    ;;
  *)
    nm -D --defined-only "$module" | awk '$2 ~ /^[TDRBVW]$/ {print $3}' | sort > "$tmp.have"
    ;;
esac
if ! diff -u "$tmp.want" "$tmp.have"; then
  echo "exports of $module differ from $def"
  exit 1
fi
echo "$(wc -l < "$tmp.have") exports match $def"
