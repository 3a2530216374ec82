#!/usr/bin/env bash
# The Windows zip holds one folder, Pelko-<version>-win64, with the read-me,
# the licence, the sample templates with their default pictures and every
# program the build made.
#
#   zip_test.sh CPACK BUILD-DIRECTORY ZIP-NAME FILE...
set -euo pipefail
cpack=$1
build=$2
name=$3
shift 3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$cpack" --config "$build/CPackConfig.cmake" -G ZIP -B "$scratch" >"$scratch/cpack.log" 2>&1 || {
  cat "$scratch/cpack.log"; exit 1; }
zip=$scratch/$name.zip
[ -f "$zip" ] || { echo "cpack made no $name.zip:"; ls "$scratch"; exit 1; }
unzip -tqq "$zip"

listed=$(unzip -Z1 "$zip")
status=0
for file in README.txt COPYRIGHT.txt "$@"; do
  if ! grep -qxF "$name/$file" <<<"$listed"; then
    echo "missing from the zip: $name/$file"
    status=1
  fi
done
if grep -v "^$name/" <<<"$listed"; then
  echo "^ outside the folder $name/"
  status=1
fi
exit $status
