#!/usr/bin/env bash
# Runs a Windows program under wine: the Windows build's emulator, through
# which the build lists the tests and ctest runs them.
#
#   wine-run.sh PREFIX PROGRAM [ARGUMENT...]
#
# In the build's own wine prefix, made and started first when needed, with
# wine's own messages off, and never for longer than PELKO_WINE_TIMEOUT
# seconds (600 unless set): a program that hangs under wine fails instead.
# The exit status is the program's, or 124 when it ran out of time.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 2 ] || { echo "usage: $0 PREFIX PROGRAM [ARGUMENT...]" >&2; exit 2; }
prefix=$(realpath -m "$1")
shift

bash "$here/wine-prefix.sh" start "$prefix"
# shellcheck source=wine-env.sh
source "$here/wine-env.sh" "$prefix"
exec timeout --kill-after=10 "${PELKO_WINE_TIMEOUT:-600}" "$WINE" "$@"
