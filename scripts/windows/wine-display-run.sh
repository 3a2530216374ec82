#!/usr/bin/env bash
# Runs a Windows program that shows windows: under wine (wine-run.sh), on a
# virtual X display of its own that ends with the program.
#
#   wine-display-run.sh PREFIX PROGRAM [ARGUMENT...]
#
# What wine prints goes to a file, shown once the program has ended: a wine
# process that outlives the program (the desktop's explorer.exe, which ends
# only with the display) must not hold the caller's output open. The program
# has PELKO_WINE_TIMEOUT seconds (120 unless set). The exit status is the
# program's.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 PREFIX PROGRAM [ARGUMENT...]" >&2; exit 2; }
# Windows that show run in a prefix of their own, PREFIX-display, whose
# services end with each program: the desktop a program joins is then one
# made on its own display, never one that a program without a display made
# meanwhile in the shared prefix.
prefix=$1-display
shift

scratch=$(mktemp -d)
xvfb=
finish() {
  bash "$here/wine-prefix.sh" stop "$prefix" || true
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap finish EXIT

# The server takes a free display itself and names it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" </dev/null >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$scratch/display" ] && break
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "Xvfb did not start:"; cat "$scratch/xvfb.log"; exit 1
  fi
  sleep 0.05
done
display=$(head -n 1 "$scratch/display")
[ -n "$display" ] || { echo "Xvfb named no display in time"; exit 1; }

status=0
DISPLAY=:$display PELKO_WINE_TIMEOUT=${PELKO_WINE_TIMEOUT:-120} \
  bash "$here/wine-run.sh" "$prefix" "$@" </dev/null >"$scratch/output" 2>&1 || status=$?
cat "$scratch/output"
exit "$status"
