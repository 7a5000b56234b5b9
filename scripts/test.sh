#!/bin/bash
# Installs what is missing, then builds and runs every test suite: the fuzz
# targets over their corpora, native, native-asan, and win32 under Wine.
# Ends with CTest's summary of all of them.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

presets=(fuzz native native-asan win32)
if (($# > 0)); then presets=("$@"); fi
jobs=$(nproc)
failed=()
summary=()
total=0
total_failed=0
for preset in "${presets[@]}"; do
  echo "== $preset"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    failed+=("$preset (build)")
    continue
  fi
  log="build/$preset/ctest.log"
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  summary+=("$preset: ${line:-no test ran}")
  if [[ $line =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    total_failed=$((total_failed + BASH_REMATCH[1]))
    total=$((total + BASH_REMATCH[2]))
  fi
  if ((rc != 0)) || [ -z "$line" ]; then failed+=("$preset"); fi
done

echo
echo "== summary"
for line in "${summary[@]}"; do echo "  $line"; done
if ((${#failed[@]} > 0)); then echo "  failed: ${failed[*]}"; fi
# CTest's closing line, over every preset.
percent=0
if ((total > 0)); then percent=$(( (total - total_failed) * 100 / total )); fi
echo
echo "${percent}% tests passed, ${total_failed} tests failed out of ${total}"
((${#failed[@]} == 0))
