#!/usr/bin/env bash
# Installs what is missing, builds Pelko and starts it with the sample
# templates, which the build puts beside the executable.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset plain >/dev/null
cmake --build --preset plain -j"$(nproc)" --target pelko pelko-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No window here: show the same core at work through the command line.
  package=out/demo/block-demo.kjx
  mkdir -p out/demo
  echo
  echo "No display is available, so the Pelko window cannot open here."
  echo "The command line builds a package from the sample template instead:"
  echo
  # The picture for the background option: any PNG will do, here the icon.
  unzip -p out/bin/block.jar icon.png > out/demo/sky.png
  echo "\$ out/bin/pelko-cli make out/bin/block.jad -o $package --title 'Block Demo' --author demo --set Speed=5 --set 背景画像=out/demo/sky.png"
  out/bin/pelko-cli make out/bin/block.jad -o "$package" --title 'Block Demo' --author demo --set Speed=5 \
    --set 背景画像=out/demo/sky.png
  echo
  echo "\$ out/bin/pelko-cli inspect $package"
  out/bin/pelko-cli inspect "$package"
  echo
  echo "To see the window on a virtual display:  xvfb-run -a out/bin/pelko"
  exit 0
fi
exec out/bin/pelko
