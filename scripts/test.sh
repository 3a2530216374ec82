#!/usr/bin/env bash
# Installs what is missing, builds Pelko twice (plain, and with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer) and runs every test in both
# builds. The configurations are the presets of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

for preset in plain asan; do
  echo "== $preset build =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done
