#!/bin/sh
# Checks a built lexmsg module against lexmsg.def: the same exported names,
# nothing else; for the DLL also that it is PE32 x86 and imports only
# Windows' own DLLs.
# Usage: check-exports.sh MODULE DEF_FILE
set -eu
module=$1; def=$2
tmp=${TMPDIR:-/tmp}/check-exports.$$
trap 'rm -f "$tmp".*' EXIT
sed -n '/^EXPORTS/,$p' "$def" | sed '1d;s/[[:space:]]//g;/^$/d' | sort > "$tmp.want"
case "$module" in
  *.dll)
    file "$module" | grep -q 'PE32 executable (DLL).*Intel 80386' || { echo "not a PE32 x86 DLL: $(file "$module")"; exit 1; }
    objdump=i686-w64-mingw32-objdump
    $objdump -p "$module" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed '1d' \
      | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*\([A-Za-z_0-9]*\).*/\1/p' | sort > "$tmp.have"
    $objdump -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u > "$tmp.imports"
    bad=$(grep -v -x -E 'kernel32\.dll|user32\.dll|msvcrt\.dll|advapi32\.dll|api-ms-win-crt-[a-z0-9-]*\.dll' "$tmp.imports" || true)
    if [ -n "$bad" ]; then echo "imports DLLs outside Windows: $bad"; exit 1; fi
    echo "imports: $(tr '\n' ' ' < "$tmp.imports")"
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
