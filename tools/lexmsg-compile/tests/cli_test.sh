#!/bin/sh
# The command line end to end: compile, dump and compile again to the same
# bytes, a check that finds a dropped and an added insertion, errors that name
# the line, embedding, and the generated header.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cat > "$dir/en.msg" <<'MSG'
# English
1 FILE_NOT_FOUND = The file %1 was not found.
2 COPIED = Copied %1 of %2 files (%3%%).
3 = \sindented\ttab\n
4 = caf\xC3\xA9
MSG
cat > "$dir/de.msg" <<'MSG'
1 = Die Datei %1 wurde nicht gefunden.
2 = %2 Dateien kopiert (%3%%).
3 = \seingerückt %4
4 = Café
MSG

"$tool" compile --header "$dir/ids.h" -o "$dir/en.cat" "$dir/en.msg" || fail "compile"
"$tool" dump -o "$dir/en.dump" "$dir/en.cat" || fail "dump"
"$tool" compile -o "$dir/en2.cat" "$dir/en.dump" || fail "compile of the dump"
cmp "$dir/en.cat" "$dir/en2.cat" || fail "compile, dump, compile changed the bytes"
grep -q '^#define COPIED 2$' "$dir/ids.h" || fail "header"

"$tool" check "$dir/en.cat" "$dir/en.cat" > "$dir/same.txt" || fail "check of a catalog against itself"
"$tool" compile -o "$dir/de.cat" "$dir/de.msg" || fail "compile de"
"$tool" check "$dir/en.cat" "$dir/de.cat" > "$dir/check.txt"
[ $? -eq 1 ] || fail "check must exit 1 on differences"
grep -q 'message 2: the translation drops %1' "$dir/check.txt" || fail "dropped insertion not reported"
grep -q 'message 3: the translation adds %4' "$dir/check.txt" || fail "added insertion not reported"
"$tool" check "$dir/en.msg" "$dir/de.msg" > /dev/null
[ $? -eq 1 ] || fail "check of sources"

printf '1 = fine\n2 = \xe4\xb8\xad\n' > "$dir/bad.msg"
"$tool" compile -o "$dir/bad.cat" "$dir/bad.msg" 2> "$dir/err.txt"
[ $? -eq 1 ] || fail "an unrepresentable text must fail"
grep -q "bad.msg:2: message 2: U+4E2D" "$dir/err.txt" || fail "error does not name the line: $(cat "$dir/err.txt")"
"$tool" compile --wide -o "$dir/bad.cat" "$dir/bad.msg" || fail "wide-only compile"

head -c 5000 /dev/zero > "$dir/host.exe"
"$tool" embed -o "$dir/host2.exe" "$dir/host.exe" "$dir/en.cat" || fail "embed"
[ "$(wc -c < "$dir/host2.exe")" -eq $((5000 + 4 + 8 + 1 + $(wc -c < "$dir/en.cat"))) ] || fail "embedded size"
"$tool" embed --name host.exe -o "$dir/host3.exe" "$dir/host2.exe" "$dir/en.cat" 2> /dev/null && fail "second marker for one name"

"$tool" frobnicate 2> /dev/null
[ $? -eq 2 ] || fail "unknown command must exit 2"
"$tool" dump "$dir/missing.cat" 2> /dev/null
[ $? -eq 2 ] || fail "missing file must exit 2"
"$tool" --help | grep -q '^  lexmsg-compile check ORIGINAL TRANSLATION$' || fail "--help"
[ "$("$tool" --version)" = "lexmsg-compile (lexmsg) 1.7.3.4" ] || fail "--version"
echo "lexmsg-compile command line: all checks passed"
