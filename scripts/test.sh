#!/usr/bin/env bash
# Installs what is missing, builds Pelko twice (plain, and with AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
jobs=$(nproc)

echo "== plain build =="
cmake -S . -B out -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build out -j"$jobs"
ctest --test-dir out --output-on-failure -j"$jobs"

echo "== sanitizer build (ASan + UBSan + LSan) =="
cmake -S . -B out-asan -DCMAKE_BUILD_TYPE=Debug -DPELKO_SANITIZE=ON >/dev/null
cmake --build out-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir out-asan --output-on-failure -j"$jobs"
