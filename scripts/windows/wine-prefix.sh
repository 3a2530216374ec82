#!/usr/bin/env bash
# The wine prefix in which the Windows build runs its programs and tests.
#
#   wine-prefix.sh start PREFIX   create the prefix if needed, then make sure
#                                 its wine services run
#   wine-prefix.sh stop PREFIX    end the prefix's wine services
#
# The prefix is made once (wineboot --init) with Japanese fonts for the
# names Japanese Windows programs ask for. The services (wineserver,
# services.exe, winedevice.exe, explorer.exe …) are started here with their
# output on /dev/null and kept for a while after the last program ends:
# started by a test instead, they would keep that test's output pipe open,
# and ctest would wait for it for good.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage() { echo "usage: $0 start|stop PREFIX" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
prefix=$(realpath -m "$2")
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$prefix"

# How long the services stay once no Windows program runs, in seconds.
IDLE_SECONDS=120
READY=$prefix/.pelko-ready

# Runs a wine step with no output and without the lock's descriptor: the
# services it may start must not hold the lock for the rest of their life.
quiet() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

create_prefix() {
  echo "wine: creating the prefix $prefix" >&2
  quiet "$WINESERVER" -k || true
  # Only a prefix of ours that was left half made is replaced.
  if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -f "$prefix/system.reg" ]; then
    echo "wine: $prefix is not a wine prefix; not replacing it" >&2
    exit 1
  fi
  rm -rf "$prefix"
  mkdir -p "$prefix"
  quiet timeout 300 "$WINE" wineboot --init
  quiet timeout 120 "$WINE" regedit /S "$(to_windows_reg "$here/wine-fonts.reg")"
  quiet timeout 60 "$WINESERVER" -w
  touch "$READY"
}

# regedit reads a Unicode .reg file as UTF-16 with a byte order mark.
to_windows_reg() {
  local out=$prefix/drive_c/pelko-$(basename "$1")
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$1"; } > "$out"
  echo "$out"
}

# Starts a wineserver that outlives its programs; when one runs already,
# wineserver exits with 2 and the running one (and its services) is kept.
start_services() {
  local status=0
  quiet "$WINESERVER" -p"$IDLE_SECONDS" || status=$?
  if [ "$status" -eq 0 ]; then
    quiet timeout 120 "$WINE" cmd /c exit 0
  elif [ "$status" -ne 2 ]; then
    echo "wine: wineserver failed to start ($status)" >&2
    exit 1
  fi
}

case "$action" in
  start)
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    [ -f "$READY" ] || create_prefix
    start_services
    ;;
  stop)
    if [ -d "$prefix" ]; then quiet "$WINESERVER" -k || true; fi
    ;;
  *) usage ;;
esac
