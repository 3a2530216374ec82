#!/usr/bin/env bash
# The Windows programs need no DLL beside them: every DLL an .exe in the
# program directory imports is one that Windows itself has, and no DLL lies
# there. A dynamically linked libstdc++, libgcc, winpthread or zlib fails.
#
#   programs_static_test.sh OBJDUMP PROGRAM-DIRECTORY
set -euo pipefail
objdump=$1
directory=$2

# The DLLs of Windows that our programs may import (lower case).
SYSTEM_DLLS=" kernel32.dll msvcrt.dll user32.dll gdi32.dll advapi32.dll shell32.dll
  comctl32.dll comdlg32.dll ole32.dll oleaut32.dll shlwapi.dll uxtheme.dll
  bcrypt.dll ws2_32.dll version.dll imm32.dll "
# One space between names, so that each is found as " NAME " wherever its line breaks.
SYSTEM_DLLS=" $(tr -s '[:space:]' ' ' <<<"$SYSTEM_DLLS") "

status=0
shopt -s nullglob nocaseglob
programs=("$directory"/*.exe)
if [ ${#programs[@]} -eq 0 ]; then
  echo "no .exe in $directory"
  exit 1
fi
for dll in "$directory"/*.dll; do
  echo "a DLL lies beside the programs: $dll"
  status=1
done
for program in "${programs[@]}"; do
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  if [ -z "$imports" ]; then
    echo "$program: no imports read"
    status=1
  fi
  for dll in $imports; do
    case "$SYSTEM_DLLS" in
      *" $dll "*) ;;
      *) echo "$program imports $dll, which Windows does not have"; status=1 ;;
    esac
  done
done
exit $status
