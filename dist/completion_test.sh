#!/usr/bin/env bash
# Drives the bash completion of pelko-cli as bash does on Tab: each case is
# a command line (the last word being completed) and the words offered.
# Usage: completion_test.sh BASH_COMPLETION COMPLETION_FILE
set -uo pipefail
source "$1"
source "$2"

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
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
  _pelko_cli pelko-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//'
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

check 'pelko-cli ' '--help --version check inspect make options templates'
check 'pelko-cli m' 'make'
check 'pelko-cli --v' '--version'
check 'pelko-cli make ' 'block.jad sub'
check 'pelko-cli make block.jad --' '--author --copyright --help --no-copyright --output --set --title'
check 'pelko-cli make block.jad --no' '--no-copyright'
check 'pelko-cli make block.jad -o ' 'game.kjx sub'
check 'pelko-cli make block.jad --title ' ''
check 'pelko-cli options ' 'block.jad sub'
check 'pelko-cli options --' '--help'
check 'pelko-cli inspect ' 'game.kjx sub'
check 'pelko-cli check ' 'block.jad game.kjx sub'
check 'pelko-cli templates --' '--help'
check 'pelko-cli templates ' ''

[ "$failures" -eq 0 ] && echo "completion test passed"
exit "$((failures > 0))"
