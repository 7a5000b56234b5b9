#!/bin/bash
# sweepkit-install end to end under Wine with a display of its own (Xvfb),
# in a throwaway product folder with a signed stand-in loader and uninstall
# script: every mode, the message boxes answered through xdotool, the
# shortcuts read back with lnkinfo, the exit codes read through Wine.
# Usage: end_to_end.sh WINE WORK PROGRAM LOADER SIGN_TOOL MUTEX_TOOL SCRIPT
#   WINE        the Wine loader for the program's machine (wine64 or wine)
#   WORK        a folder for the prefix and the records, kept between runs:
#               cmake/wine-run.sh's ROOT
#   PROGRAM     sweepkit-install.exe
#   LOADER      the stand-in loader, unsigned
#   SIGN_TOOL   signs a program or a script with the development key: a
#               Windows program (.exe), or a native one
# With SK_E2E_SMOKE=1 only the /install case runs: two Windows processes
# (the program and the loader), for a machine that emulates them.
#   MUTEX_TOOL  holds a named mutex from a process of its own
#   SCRIPT      the stand-in uninstall script, unsigned
# Exits 77 (skipped) when a tool is missing or the machine cannot run the
# program's code natively.
set -u
if (($# != 7)); then echo "usage: end_to_end.sh WINE WORK PROGRAM LOADER SIGN_TOOL MUTEX_TOOL SCRIPT"; exit 2; fi
wine=$1 work=$2 program=$3 loader=$4 sign_tool=$5 mutex_tool=$6 script=$7

for tool in "$wine" xvfb-run xdotool lnkinfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is missing"; exit 77; }
done
if [ "$(basename "$wine")" = wine ]; then
  # 32-bit Windows programs: the whole table only where 32-bit code runs
  # without emulation; the smoke also under emulation.
  if [ "${SK_E2E_SMOKE:-}" != 1 ] && [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] &&
     grep -q enabled /proc/sys/fs/binfmt_misc/qemu-i386; then
    echo "skipped: 32-bit code runs here only by emulation"; exit 77
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { echo "skipped: 32-bit code does not run here"; exit 77; }
fi

# Everything below runs with a display of its own.
if [ -z "${SK_E2E_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" env SK_E2E_DISPLAY=1 bash "$0" "$@"
fi

# The prefix WORK/prefix and its one server for the whole run, made and kept
# as for every Windows test; the paths below are read through these two.
wine_run=$(cd "$(dirname "$0")/../../cmake" && pwd)/wine-run.sh
export HOME="$work/home" WINEPREFIX="$work/prefix"
windows=("$wine_run" "$work" "$(basename "$wine")")  # then a program and its arguments
holder=""
cleanup() {
  if [ -n "$holder" ]; then kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; fi
  "$wine_run" --stop "$work"
}
trap cleanup EXIT
"$wine_run" --ready "$work"

user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v '/Public$' | head -1)
desktop="$user_dir/Desktop"
product_link="$desktop/Ostrel Sweepkit.lnk"
uninstall_link="$desktop/Desinstalar Ostrel Sweepkit.lnk"
folder="$WINEPREFIX/drive_c/sk-e2e/Ostrel Sweepkit"
folder_win='C:\sk-e2e\Ostrel Sweepkit'
program_win="$folder_win\\sweepkit-install.exe"
loader_record="$folder/loader-ran.txt"
script_record="$folder/script-ran.txt"
in_use='{856D85EB-3BEF-48fb-BE9F-039EEB944369}'

failures=0
expect() {  # expect WHAT COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
equal() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; return 1; }; }
exists() { [ -e "$1" ]; }
absent() { [ ! -e "$1" ]; }
both_links() { exists "$product_link" && exists "$uninstall_link"; }
no_link() { absent "$product_link" && absent "$uninstall_link"; }

# How long a Windows process may take to start and end: a minute, or a
# quarter of an hour in the smoke, where each one is emulated.
patience=60
[ "${SK_E2E_SMOKE:-}" = 1 ] && patience=900
# Runs the installer to its end; its exit code comes back cut to 8 bits.
# A run that does not end in time (a window nobody answers) gives 124.
installer() { timeout "$patience" "${windows[@]}" "$program_win" "$@" >/dev/null 2>&1 </dev/null; }
# Starts the installer in the background; $! is its process.
installer_background() { "${windows[@]}" "$program_win" "$@" >/dev/null 2>&1 </dev/null & }

# Waits up to $2 seconds for a file.
wait_for() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do [ -e "$1" ] && return 0; sleep 0.1; done
  return 1
}
# Waits up to $3 seconds for a file to hold exactly the text $2 (a
# started program may still be writing it).
wait_for_text() {
  local i
  for ((i = 0; i < $3 * 10; i++)); do
    [ -e "$1" ] && [ "$(tr -d '\r' < "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  echo "  $1 holds '$(tr -d '\r' < "$1" 2>/dev/null)', expected '$2'"
  return 1
}
# The visible windows with the box caption; waits for the first one.
find_box() { timeout 30 xdotool search --sync --onlyvisible --name '^Ostrel Sweepkit$' 2>/dev/null | head -1; }
answer() {  # answer WINDOW KEY
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key --window "$1" "$2"
}
# Waits up to 30 seconds for a background installer and gives its exit
# code; one that does not end is ended (and gives 143).
finish() {
  local i
  for ((i = 0; i < 300; i++)); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill "$1" 2>/dev/null
  wait "$1"
}

# Runs /remove, answers its box with a key and gives the exit code.
remove_answering() {  # remove_answering WHAT KEY
  local pid box
  installer_background /remove; pid=$!
  box=$(find_box)
  expect "$1" [ -n "$box" ]
  [ -n "$box" ] && answer "$box" "$2"
  finish $pid
}

sign() {  # sign program|script IN OUT
  case "$sign_tool" in
    *.exe) "${windows[@]}" "$sign_tool" "$1" "Z:$2" "Z:$3" >/dev/null 2>&1 </dev/null ;;
    *) "$sign_tool" "$1" "$2" "$3" ;;
  esac
}

# The product folder: the program, the signed stand-ins, the two icons.
rm -rf "$WINEPREFIX/drive_c/sk-e2e"
mkdir -p "$folder"
cp "$program" "$folder/sweepkit-install.exe"
sed 's/$/\r/' "$script" > "$work/uninstall.vbs"
sign program "$loader" "$work/loader-signed.exe" || { echo "cannot sign the loader"; exit 1; }
sign script "$work/uninstall.vbs" "$folder/Uninstall.vbs" || { echo "cannot sign the script"; exit 1; }
cp "$work/loader-signed.exe" "$folder/zrfetchpad.exe"
printf 'product icon' > "$folder/sweepkit.ico"
printf 'uninstall icon' > "$folder/sweepkit_uninstall.ico"
reset() { rm -f "$product_link" "$uninstall_link" "$loader_record" "$script_record"; }
loader_started() { wait_for_text "$loader_record" "$(printf '"%s\\zrfetchpad.exe"\n%s' "$folder_win" "$folder_win")" $((patience / 3)); }
# Nothing wrote the records within two seconds.
not_started() { sleep 2; local record; for record; do absent "$record" || return 1; done; }
link_value() { lnkinfo "$1" 2>/dev/null | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p"; }
links_read_back() {
  equal "$(link_value "$product_link" 'Local path')" "$folder_win\\zrfetchpad.exe" &&
    equal "$(link_value "$product_link" 'Icon location')" "$folder_win\\sweepkit.ico" &&
    equal "$(link_value "$product_link" 'Icon index')" 0 &&
    ! lnkinfo "$product_link" | grep -q 'Contains a command line arguments string' &&
    equal "$(link_value "$uninstall_link" 'Local path')" "$program_win" &&
    equal "$(link_value "$uninstall_link" 'Command line arguments')" /remove &&
    equal "$(link_value "$uninstall_link" 'Icon location')" "$folder_win\\sweepkit_uninstall.ico" &&
    equal "$(link_value "$uninstall_link" 'Icon index')" 0
}

echo "== /install"
reset
installer /install; expect "/install exits 0" equal $? 0
expect "both shortcuts written" both_links
expect "the shortcuts carry target, arguments and icon" links_read_back
expect "the loader started in the product folder" loader_started

if [ "${SK_E2E_SMOKE:-}" = 1 ]; then
  if ((failures > 0)); then echo "$failures checks failed"; exit 1; fi
  echo "all checks of the smoke passed"; exit 0
fi

echo "== /INSTALL over existing shortcuts"
rm -f "$loader_record"
printf 'stale' > "$product_link"
installer /INSTALL; expect "/INSTALL exits 0" equal $? 0
expect "both shortcuts written again" links_read_back
expect "the loader started" loader_started

echo "== /start"
reset
installer /start; expect "/start exits 0" equal $? 0
expect "no shortcut written" no_link
expect "the loader started" loader_started

echo "== a loader that does not verify"
cp "$loader" "$folder/zrfetchpad.exe"
reset
installer /install; expect "unsigned loader: exits 5" equal $? 5
expect "unsigned loader: no shortcut" no_link
expect "unsigned loader: nothing started" not_started "$loader_record"
cp "$work/loader-signed.exe" "$folder/zrfetchpad.exe"
printf 'X' | dd of="$folder/zrfetchpad.exe" bs=1 seek=2000 conv=notrunc 2>/dev/null
installer /install; expect "tampered loader: exits 5" equal $? 5
expect "tampered loader: no shortcut" no_link
expect "tampered loader: nothing started" not_started "$loader_record"
cp "$work/loader-signed.exe" "$folder/zrfetchpad.exe"

echo "== a bad command line"
installer /bogus; expect "an unknown switch exits 1" equal $? 1
installer; expect "no switch exits 1" equal $? 1
installer /install /start; expect "two switches exit 1" equal $? 1

echo "== /remove answered No"
reset
installer /install && wait_for "$loader_record" 20
remove_answering "the confirmation box appears" n; expect "No exits 2" equal $? 2
expect "both shortcuts still there" both_links
expect "the script did not run" not_started "$script_record"

echo "== a second instance while the first asks"
installer_background /remove; pid=$!
box=$(find_box)
expect "the first instance asks" [ -n "$box" ]
for mode in /install /start /remove; do
  installer $mode; expect "a second instance with $mode exits 3" equal $? 3
done
expect "no second window" equal "$(xdotool search --onlyvisible --name '^Ostrel Sweepkit$' 2>/dev/null | wc -l)" 1
[ -n "$box" ] && answer "$box" n
finish $pid; expect "the first instance, answered No, exits 2" equal $? 2

echo "== /remove while the product is in use"
rm -f "$work/holding"
"${windows[@]}" "$mutex_tool" hold "$in_use" "Z:$work/holding" >/dev/null 2>&1 </dev/null & holder=$!
if wait_for "$work/holding" 30; then
  # xdotool sees the box's caption, not its text: the warning is told from
  # the question by the exit code after Return.
  remove_answering "the in-use warning appears" Return; expect "in use exits 4" equal $? 4
  expect "both shortcuts still there" both_links
else
  expect "the helper holds the in-use mutex" false
fi
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; holder=""

echo "== /remove answered Yes"
remove_answering "the confirmation box appears" y; expect "Yes exits 0" equal $? 0
expect "both shortcuts deleted" no_link
expect "the script ran with /uninstall" wait_for_text "$script_record" /uninstall 30

echo
if ((failures > 0)); then echo "$failures checks failed"; exit 1; fi
echo "all checks passed"
