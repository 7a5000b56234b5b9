#!/bin/bash
# Configures and builds the given presets (default: native win32).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
if ((${#presets[@]} == 0)); then presets=(native win32); fi
jobs=$(nproc)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
