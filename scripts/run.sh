#!/usr/bin/env bash
# Installs what is missing, builds Pelko and starts it with the sample
# templates, which the build puts beside the executable.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B out -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELKO_TESTS=OFF >/dev/null
cmake --build out -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "No display is available, so the Pelko window cannot open here."
  echo "To see it on a virtual display:  xvfb-run -a out/bin/pelko"
  exit 0
fi
exec out/bin/pelko
