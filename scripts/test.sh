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
for preset in "${presets[@]}"; do
  echo "== $preset"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    failed+=("$preset (build)")
    continue
  fi
  log="build/$preset/ctest.log"
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  summary+=("$preset: $(grep -E 'tests passed|tests failed' "$log" | tail -1)")
  if ((rc != 0)); then failed+=("$preset"); fi
done

echo
echo "== summary"
for line in "${summary[@]}"; do echo "$line"; done
if ((${#failed[@]} > 0)); then
  echo "failed: ${failed[*]}"
  exit 1
fi
