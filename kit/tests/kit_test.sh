#!/bin/bash
# The kit's checks, one per call:
#   kit_test.sh assemble SOURCE WORK   the PE32 kit assembled and signed: the
#       four files that the kit starts or loads verify with code 3
#   kit_test.sh tampered SOURCE WORK   a copy of the signed loader with one
#       byte changed: the installer (win64, under 64-bit Wine) refuses to
#       start it with exit code 5, and verify says 9
#   kit_test.sh catalog SOURCE WORK READBACK   the loader's embedded catalog
#       read back through the library holds the texts of its source
set -u
what=$1; source=$2; work=$3
kit=$work/kit
fail() { echo "FAIL: $*"; exit 1; }

case "$what" in
  assemble)
    out=$("$source/kit/assemble.sh" "$kit" "$work/ostrel-sweepkit-setup.exe" "$source/build/win32/bin" \
          "$source/build/native/bin") || fail "assembly: $out"
    echo "$out"
    for file in sweepkit-install.exe lexmsg.dll zrfetchpad.exe Uninstall.vbs; do
      echo "$out" | grep -q "^$file accepted 3:" || fail "$file does not verify with code 3"
    done
    [ -s "$work/ostrel-sweepkit-setup.exe" ] || fail "no setup program"
    ;;
  tampered)
    folder=$work/tampered
    rm -rf "$folder" && mkdir -p "$folder"
    cp "$source/build/win64/bin/sweepkit-install.exe" "$kit/zrfetchpad.exe" "$folder/"
    # One byte of the loader's code, far from the appended block.
    printf '\x90' | dd of="$folder/zrfetchpad.exe" bs=1 seek=4100 conv=notrunc status=none
    line=$("$source/build/native/bin/sweepkit-sign" verify --mode 2 "$folder/zrfetchpad.exe")
    echo "verify: $line"
    [ "${line%%:*}" = "rejected 9" ] || fail "the tampered loader gives '$line', not rejected 9"
    "$source/cmake/wine-run.sh" "$work/wine" wine64 "$folder/sweepkit-install.exe" /start </dev/null >/dev/null 2>&1
    code=$?
    "$source/cmake/wine-run.sh" --stop "$work/wine"
    echo "sweepkit-install.exe /start: exit $code"
    [ "$code" = 5 ] || fail "the installer ended with $code, not 5"
    ;;
  catalog)
    readback=$4
    got=$("$readback" zrfetchpad.exe "$kit/zrfetchpad.exe" | iconv -f CP1252 -t UTF-8) || fail "read back"
    want=$(sed -n 's/^\([0-9][0-9]*\)[[:space:]]*[A-Z_]*[[:space:]]*=[[:space:]]*/\1 /p' "$source/kit/zrfetchpad/zrfetchpad.msg")
    echo "$got"
    [ "$got" = "$want" ] || fail "the embedded catalog differs from its source: $(diff <(echo "$want") <(echo "$got"))"
    ;;
  *) fail "unknown check $what" ;;
esac
