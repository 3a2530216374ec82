#!/usr/bin/env bash
# The Linux and the Windows pelko-cli make the same package of the same
# template and inputs: the same header, descriptor text and entries, byte
# for byte but for the times of entries made during the build (each build
# stamps its own). Every row of the table runs both programs in one folder;
# a row whose command is refused must be refused by both, with the same
# exit status.
#
#   same_packages_test.sh LINUX-CLI WINE-RUN WINE-PREFIX WINDOWS-CLI SAME-PACKAGE SAMPLES
#
# Exits 77 (skipped) when the Linux program has not been built.
set -euo pipefail
# Absolute, as each row runs in the work folder.
linux_cli=$(realpath -m "$1")
wine_run=$(realpath -m "$2")
prefix=$(realpath -m "$3")
windows_cli=$(realpath -m "$4")
same_package=$(realpath -m "$5")
samples=$(realpath -m "$6")

if [ ! -x "$linux_cli" ]; then
  echo "no Linux pelko-cli at $linux_cli: build the plain preset first"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The template under a Japanese name, a picture with one, all of a fixed age.
cp "$samples/block.jad" "$samples/block.jar" "$samples/puzzle.jad" "$samples/puzzle.jar" "$work/"
cp "$samples/block.jad" "$work/落ち物.jad"
cp "$samples/block.jar" "$work/落ち物.jar"
printf 'a picture named in Japanese' >"$work/背景画像.png"
touch -d '2020-05-17 12:00:00' "$work"/*

# The characters the two systems' CP932 tables write differently.
nine='¢£¥¬—‖‾−〜'

# name | expected exit status | arguments after "make TEMPLATE -o OUTPUT", one a line
rows=(
  "the worked example|0|block.jad
--title
Block Game
--author
dev01"
  "a Japanese title and author|0|block.jad
--title
落ち物ゲーム
--author
山田太郎"
  "the nine characters the tables differ on|0|block.jad
--title
落ち¢£¥¬—
--author
‖‾−〜
--set
説明=$nine"
  "Japanese file names|0|落ち物.jad
--set
5=背景画像.png
--no-copyright"
  "the other sample with its defaults|0|puzzle.jad"
  "a character CP932 lacks|2|block.jad
--title
한국"
)

status=0
for row in "${rows[@]}"; do
  name=${row%%|*}
  rest=${row#*|}
  expected=${rest%%|*}
  mapfile -t args <<<"${rest#*|}"
  template=${args[0]}
  options=("${args[@]:1}")
  rm -f "$work/linux.kjx" "$work/windows.kjx"
  linux_status=0
  (cd "$work" && "$linux_cli" make "$template" -o linux.kjx "${options[@]}" >linux.log 2>&1) || linux_status=$?
  windows_status=0
  (cd "$work" && bash "$wine_run" "$prefix" "$windows_cli" make "$template" -o windows.kjx "${options[@]}" \
    >windows.log 2>&1) || windows_status=$?
  if [ "$linux_status" != "$expected" ] || [ "$windows_status" != "$expected" ]; then
    echo "FAIL $name: exit status $linux_status on Linux, $windows_status on Windows, $expected expected"
    cat "$work/linux.log" "$work/windows.log"
    status=1
    continue
  fi
  if [ "$expected" != 0 ]; then
    if [ -e "$work/linux.kjx" ] || [ -e "$work/windows.kjx" ]; then
      echo "FAIL $name: a refused command left a package"
      status=1
    fi
    echo "ok   $name (refused by both)"
    continue
  fi
  if ! bash "$wine_run" "$prefix" "$same_package" "Z:$work/linux.kjx" "Z:$work/windows.kjx"; then
    echo "FAIL $name: the packages differ"
    status=1
    continue
  fi
  echo "ok   $name"
done
exit $status
