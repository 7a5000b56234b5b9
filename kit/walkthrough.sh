#!/bin/bash
# The kit's walk-through under Wine with a display of its own (Xvfb), in a
# throwaway prefix: the setup program silently, the two desktop shortcuts
# (read with lnkinfo), the loader's window (a screenshot), the uninstall
# shortcut's /remove answered Yes (a screenshot of the confirmation box),
# the script's log line and the emptied folder. Writes REPORT.md and the
# screenshots into OUT, and each step's progress to the terminal.
# Usage: walkthrough.sh SETUP_EXE OUT
# Exits 0 when every step went as expected, 1 otherwise.
set -u
setup=$(realpath "$1"); out=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../cmake/wine-run.sh

if [ -z "${SK_WALKTHROUGH_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" env SK_WALKTHROUGH_DISPLAY=1 bash "$0" "$@"
fi

rm -rf "$out" && mkdir -p "$out"
root=$out/wine
export WINEDEBUG=-all
run() { "$wine_run" "$root" wine "$@"; }   # the kit is PE32: the 32-bit loader
report=$out/REPORT.md
failures=0
step_start=$SECONDS
{
  echo "# Walk-through of the Ostrel Sweepkit kit"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(basename "$setup") under Wine $(/usr/lib/wine/wine --version 2>/dev/null) with Xvfb."
  echo
  echo "| Step | Expected | Seen | Result | Seconds |"
  echo "|---|---|---|---|---|"
} > "$report"

# step NAME EXPECTED SEEN: one line of the report, compared as text.
step() {
  local name=$1 expected=$2 seen=$3 verdict="as expected" took=$((SECONDS - step_start))
  if [ "$expected" != "$seen" ]; then verdict="NOT as expected"; failures=$((failures + 1)); fi
  printf '| %s | %s | %s | %s | %d |\n' "$name" "$expected" "$seen" "$verdict" "$took" >> "$report"
  printf '  %-34s %-16s %3d s   %s\n' "$name" "$verdict" "$took" "$seen"
  step_start=$SECONDS
}

if ! "$here/../scripts/probe-32bit.sh"; then
  echo "  this machine runs 32-bit code only by emulation: the walk-through takes several minutes"
fi

# The prefix, and a display-free first program that brings its services up.
run cmd /c exit 0 >/dev/null 2>&1
user=$(ls "$root/prefix/drive_c/users" | grep -v -x Public | head -1)
profile=$root/prefix/drive_c/users/$user
desktop=$profile/Desktop
folder="$profile/AppData/Local/Programs/Ostrel Sweepkit"
step "a new Wine prefix" "ready" "$([ -d "$desktop" ] && echo ready || echo 'no Desktop folder')"

# 1. The setup, silently: it copies the folder and runs /install, which
# starts the loader.
run "$setup" /S >/dev/null 2>&1
code=$?
step "setup /S" "exit 0, 6 files" "exit $code, $(ls "$folder" 2>/dev/null | wc -l) files"

# 2. The two shortcuts, as lnkinfo reads them.
link_field() {  # link_field LINK FIELD: a field of lnkinfo's output
  lnkinfo "$1" 2>/dev/null | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p" | head -1
}
product="$desktop/Ostrel Sweepkit.lnk"
uninstall="$desktop/Desinstalar Ostrel Sweepkit.lnk"
step "product shortcut" "zrfetchpad.exe, no arguments, sweepkit.ico" \
  "$(basename "$(link_field "$product" 'Local path' | tr '\\' /)"), $( [ -z "$(link_field "$product" 'Command line arguments')" ] && echo no arguments || echo arguments), $(basename "$(link_field "$product" 'Icon location' | tr '\\' /)")"
step "uninstall shortcut" "sweepkit-install.exe /remove, sweepkit_uninstall.ico" \
  "$(basename "$(link_field "$uninstall" 'Local path' | tr '\\' /)") $(link_field "$uninstall" 'Command line arguments'), $(basename "$(link_field "$uninstall" 'Icon location' | tr '\\' /)")"

# 3. The loader's window, started by /install.
window=$(timeout 120 xdotool search --sync --onlyvisible --name 'Ostrel Sweepkit: demostraci' 2>/dev/null | head -1)
sleep 1
import -window root "$out/loader-window.png" 2>/dev/null
step "the loader's window" "shown, loader-window.png" "$([ -n "$window" ] && echo shown || echo 'not shown'), $(basename "$out/loader-window.png")"
if [ -n "$window" ]; then
  xdotool windowfocus --sync "$window" key alt+F4 2>/dev/null
  for _ in $(seq 60); do pgrep -f 'zrfetchpad.exe' >/dev/null || break; sleep 1; done
fi
step "the loader closed" "ended" "$(pgrep -f zrfetchpad.exe >/dev/null && echo 'still running' || echo ended)"

# 4. The uninstall shortcut's target with its arguments: the confirmation,
# answered Yes.
target=$(link_field "$uninstall" 'Local path')
arguments=$(link_field "$uninstall" 'Command line arguments')
run "$target" $arguments >/dev/null 2>&1 &
remover=$!
box=$(timeout 120 xdotool search --sync --onlyvisible --name '^Ostrel Sweepkit$' 2>/dev/null | head -1)
sleep 1
import -window root "$out/uninstall-confirmation.png" 2>/dev/null
step "the confirmation box" "shown, uninstall-confirmation.png" "$([ -n "$box" ] && echo shown || echo 'not shown'), $(basename "$out/uninstall-confirmation.png")"
[ -n "$box" ] && xdotool windowfocus --sync "$box" key y 2>/dev/null
wait "$remover"
code=$?
shortcuts=$(ls "$desktop"/*.lnk 2>/dev/null | wc -l)
step "/remove answered Yes" "exit 0, no shortcut left" "exit $code, $([ "$shortcuts" = 0 ] && echo 'no shortcut left' || echo "$shortcuts shortcuts left")"

# 5. The script's log line and the emptied folder; the script retries while
# the installer ends, so give it time.
# The user's temporary folder: Wine's own place for it.
log=""
for _ in $(seq 60); do
  log=$(find "$profile" -name ostrel-sweepkit-uninstall.log 2>/dev/null | head -1)
  [ -s "$log" ] && [ ! -e "$folder" ] && break
  sleep 1
done
line=$([ -n "$log" ] && tail -1 "$log")
step "the script's log line" "6 files removed, 0 left" "$(echo "$line" | grep -o '[0-9]* files removed, [0-9]* left' || echo "no line: '$line'")"
step "the installation folder" "gone" "$([ -e "$folder" ] && echo "still there: $(ls "$folder" | tr '\n' ' ')" || echo gone)"

"$wine_run" --stop "$root"
rm -rf "$root"   # the throwaway prefix; the report and screenshots stay
echo >> "$report"
if ((failures == 0)); then
  echo "Every step went as expected." >> "$report"
else
  echo "$failures steps did not go as expected." >> "$report"
fi
((failures == 0))
