#!/usr/bin/env bash
# Drives the bash completion of pelko-cli as bash does on Tab: each case is
# a command line (the last word being completed) and the words offered. The
# templates and their options come from the pelko-cli given, whose program
# directory holds the samples; the user's template folder is left empty.
# Usage: completion_test.sh BASH_COMPLETION COMPLETION_FILE PELKO_CLI
set -uo pipefail
source "$1"
source "$2"
PATH="$(dirname "$3"):$PATH"
export XDG_DATA_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_DATA_HOME"' EXIT

dir=$(mktemp -d)
trap 'rm -rf "$dir" "$XDG_DATA_HOME"' EXIT
cd "$dir"
touch block.jad block.jar game.kjx notes.txt
mkdir sub

complete_line() {
  # shellcheck disable=SC2206
  COMP_WORDS=($1)
  [[ $1 == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  # compopt answers only inside a real completion.
  _pelko_cli pelko-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  # A template in the current folder is offered by name twice; readline shows it once.
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort -u | tr '\n' ' ' | sed 's/ $//'
}

failures=0
check() {
  local got
  got=$(complete_line "$1")
  if [[ $got != "$2" ]]; then
    echo "FAIL: '$1' offered '$got', expected '$2'" >&2
    failures=$((failures + 1))
  fi
}

check 'pelko-cli ' '--help --version check inspect make options pack templates unpack'
check 'pelko-cli m' 'make'
check 'pelko-cli --v' '--version'
check 'pelko-cli make ' 'block.jad puzzle.jad sub'
check 'pelko-cli make block.jad --' '--author --copyright --help --no-copyright --output --set --strict --title'
check 'pelko-cli make block.jad --no' '--no-copyright'
check 'pelko-cli make block.jad -o ' 'game.kjx sub'
check 'pelko-cli make block.jad --output=' 'game.kjx sub'
check 'pelko-cli make block.jad --title ' ''
check 'pelko-cli make puzzle.jad --set ' 'File= Message= Size= Start\ message= TextColor= キャラクター= 文字色= 盤の大きさ= 背景画像='
check 'pelko-cli make --title x puzzle.jad --set S' 'Size= Start\ message='
check 'pelko-cli make puzzle.jad --set=T' 'TextColor='
check 'pelko-cli make puzzle.jad --set Size=' ''
check 'pelko-cli make --set ' ''
check 'pelko-cli options ' 'block.jad puzzle.jad sub'
check 'pelko-cli options --' '--help'
check 'pelko-cli inspect ' 'game.kjx sub'
check 'pelko-cli check ' 'block.jad puzzle.jad sub'
check 'pelko-cli check p' 'puzzle.jad'
check 'pelko-cli pack ' 'block.jad puzzle.jad sub'
check 'pelko-cli pack block.jad -' '--help --output -o'
check 'pelko-cli unpack ' 'game.kjx sub'
check 'pelko-cli unpack game.kjx --' '--directory --force --help'
check 'pelko-cli unpack game.kjx -d ' 'sub'
check 'pelko-cli templates --' '--help'
check 'pelko-cli templates ' ''

[ "$failures" -eq 0 ] && echo "completion test passed"
exit "$((failures > 0))"
