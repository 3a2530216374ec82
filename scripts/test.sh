#!/usr/bin/env bash
# Installs what is missing, builds Pelko three times (plain; with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer; for 64-bit
# Windows) and runs every test of each build, the Windows ones under wine.
# The configurations are the presets of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --windows
jobs=$(nproc)

for preset in plain asan; do
  echo "== $preset build =="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$jobs"
  ctest --preset "$preset" -j"$jobs"
done

echo "== windows build, tests under wine =="
# The wine prefix is made before the build, which lists the tests through
# wine; wine's services start here with their output on /dev/null, and again
# before ctest if they ended meanwhile: started by a test instead, they would
# hold ctest's output open and ctest would never end.
wine_prefix=out-windows/wine
bash scripts/windows/wine-prefix.sh start "$wine_prefix"
trap 'bash scripts/windows/wine-prefix.sh stop "$wine_prefix"; bash scripts/windows/wine-prefix.sh stop "$wine_prefix-display"' EXIT
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$jobs"
bash scripts/windows/wine-prefix.sh start "$wine_prefix"
# The prefix of the tests that show windows (wine-display-run.sh), made
# here rather than inside the first of them.
bash scripts/windows/wine-prefix.sh start "$wine_prefix-display"
ctest --preset windows -j"$jobs"
