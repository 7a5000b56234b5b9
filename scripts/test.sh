#!/bin/bash
# Installs what is missing, then builds and runs every test suite: the fuzz
# targets over their corpora, native, native-asan, win64 under 64-bit Wine,
# win32 (its files checked, and every test or the smoke tests under 32-bit
# Wine, as the machine allows), and last the kit's tests (kit/tests), which
# need the native, win64 and win32 trees. Give preset names (and "kit") to
# run only those.
# Prints one line per preset and a closing line over all of them, counted
# from CTest's own results (its JUnit file); exits 0 only when every preset
# built, ran at least one test and passed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Wine servers of the trees run here end with the script, whatever happens.
stop_wine() {
  for prefix_root in "$root"/build/*/wine; do
    [ -d "$prefix_root" ] && cmake/wine-run.sh --stop "$prefix_root"
  done
}
trap stop_wine EXIT
trap 'exit 130' INT TERM

# junit_count FILE ATTRIBUTE: the number in the test suite's attribute.
junit_count() {
  grep -o -m1 "$2=\"[0-9]*\"" "$1" | grep -o '[0-9]*' || echo 0
}

start=$SECONDS
scripts/setup.sh || exit 1
summary=("setup: $((SECONDS - start)) s")

presets=(fuzz native native-asan win64 win32 kit)
if (($# > 0)); then presets=("$@"); fi
jobs=$(nproc)
failed=()
total=0
total_failed=0
for preset in "${presets[@]}"; do
  echo "== $preset"
  start=$SECONDS
  if [ "$preset" = kit ]; then
    configure=(cmake -S kit/tests -B build/kit -DSK_SOURCE="$root")
    build=(cmake --build build/kit -j "$jobs")
    test=(ctest --test-dir build/kit --output-on-failure)
  else
    configure=(cmake --preset "$preset")
    build=(cmake --build --preset "$preset" -j "$jobs")
    test=(ctest --preset "$preset")
  fi
  if ! "${configure[@]}" >/dev/null || ! "${build[@]}"; then
    failed+=("$preset")
    summary+=("$preset: build failed ($((SECONDS - start)) s)")
    continue
  fi
  junit=$root/build/$preset/ctest-results.xml
  rm -f "$junit" "build/$preset/wine/restarts.log"
  "${test[@]}" --output-junit "$junit"
  rc=$?
  [ -d "build/$preset/wine" ] && cmake/wine-run.sh --stop "$root/build/$preset/wine"

  ran=0; bad=0; skipped=0
  if [ -f "$junit" ]; then
    ran=$(junit_count "$junit" tests)
    bad=$(junit_count "$junit" failures)
    skipped=$(junit_count "$junit" skipped)
  fi
  line="$preset: $ran tests, $bad failed, $skipped skipped"
  if [ -f "build/$preset/windows-test-run.txt" ]; then
    line+=", $(cat "build/$preset/windows-test-run.txt")"
  fi
  line+=" ($((SECONDS - start)) s)"
  # What cmake/wine-run.sh ran a second time (see there).
  restarts=build/$preset/wine/restarts.log
  if [ -s "$restarts" ]; then
    line+="; $(wc -l <"$restarts") test program(s) ended before their first line and ran again ($restarts):"
    while IFS= read -r restart; do line+=$'\n    '"$restart"; done <"$restarts"
  fi
  if ((ran == 0)); then
    line+=": no test ran"
  fi
  summary+=("$line")
  total=$((total + ran))
  total_failed=$((total_failed + bad))
  if ((rc != 0 || ran == 0)); then failed+=("$preset"); fi
done

echo
echo "== summary"
for line in "${summary[@]}"; do echo "  $line"; done
if ((${#failed[@]} > 0)); then echo "  failed: ${failed[*]}"; fi
percent=0
if ((total > 0)); then percent=$(( (total - total_failed) * 100 / total )); fi
echo
echo "${percent}% tests passed, ${total_failed} tests failed out of ${total}"
((${#failed[@]} == 0))
