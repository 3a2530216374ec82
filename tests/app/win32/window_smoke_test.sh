#!/usr/bin/env bash
# pelko.exe in a program directory of its own with the block game template,
# driven by pelko_window_smoke on a virtual display: a package made through
# the window.
#
#   window_smoke_test.sh WINE-SCRIPTS PREFIX DRIVER PELKO SAMPLES
set -euo pipefail
scripts=$1
prefix=$2
driver=$3
pelko=$4
samples=$5

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/program" "$scratch/out"
cp "$pelko" "$samples/block.jad" "$samples/block.jar" "$scratch/program/"
printf 'a picture' > "$scratch/program/back.png"

# wine's Z: drive is the root of the file system.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
bash "$scripts/wine-display-run.sh" "$prefix" "$driver" \
  "$(windows_path "$scratch/program/$(basename "$pelko")")" "$(windows_path "$scratch/out/game.kjx")"
