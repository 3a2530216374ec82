#!/usr/bin/env bash
# Holds the manual page and the bash completion to the command table: every
# command and option that `pelko-cli --help` lists must be described in
# pelko-cli(1) and offered by the completion, the options after their
# command.
# Usage: command_table_test.sh PELKO_CLI MANUAL_SOURCE BASH_COMPLETION COMPLETION_FILE
set -uo pipefail
cli=$1 manual=$2
source "$3"
source "$4"

help=$("$cli" --help) || { echo "FAIL: $cli --help" >&2; exit 1; }

# The commands, from the usage: "  pelko-cli make TEMPLATE.jad ...".
mapfile -t commands < <(sed -n 's/^  pelko-cli \([a-z][a-z]*\).*/\1/p' <<<"$help")
# "make" -> "-o --output --title ...": a command's paragraph starts with its
# name at the margin; its option lines start with two blanks and a dash, the
# names before the first two blanks that follow.
declare -A options=()
for command in "${commands[@]}"; do options[$command]=''; done
command=''
while IFS= read -r line; do
  if [[ $line =~ ^([a-z]+)(\ |$) && -v options[${BASH_REMATCH[1]}] ]]; then
    command=${BASH_REMATCH[1]}
  elif [[ -n $command && $line =~ ^\ \ (-[^ ].*) ]]; then
    names=${BASH_REMATCH[1]%%  *}
    for word in ${names//,/ }; do
      [[ $word == -* ]] && options[$command]+=" $word"
    done
  elif [[ -z $line ]]; then
    command=''
  fi
done <<<"$help"
# The words that need no command, from the usage.
global=$(sed -n 's/^  pelko-cli \(--[a-z-]*\( | --[a-z-]*\)*\)$/\1/p' <<<"$help" | tr -d '|')

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
[ "${#commands[@]}" -ge 7 ] || fail "only ${#commands[@]} commands read from --help: ${commands[*]}"
[ -n "$global" ] || fail "no --help | --version line in the usage"

# What bash offers for a command line whose last word is being completed.
offered() {
  # shellcheck disable=SC2206
  COMP_WORDS=($1)
  [[ $1 == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$1 COMP_POINT=${#1}
  COMPREPLY=()
  _pelko_cli pelko-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  echo " ${COMPREPLY[*]} "
}

# The manual page writes each dash as "\-".
in_manual() { grep -qF -- "${1//-/\\-}" "$manual"; }

first=$(offered 'pelko-cli ')
for word in "${commands[@]}" $global; do
  [[ $first == *" $word "* ]] || fail "the completion does not offer the command $word"
done
for word in $global; do
  in_manual "$word" || fail "pelko-cli(1) does not mention $word"
done
for command in "${commands[@]}"; do
  grep -qx "\.B $command" "$manual" || fail "pelko-cli(1) has no .B $command (its entry under COMMANDS)"
  long=$(offered "pelko-cli $command x --")
  short=$(offered "pelko-cli $command x -")
  for option in ${options[$command]} --help; do
    case $option in
      --*) [[ $long == *" $option "* ]] || fail "the completion does not offer $command $option" ;;
      *) [[ $short == *" $option "* ]] || fail "the completion does not offer $command $option" ;;
    esac
    in_manual "$option" || fail "pelko-cli(1) does not mention $option of $command"
  done
done

[ "$failures" -eq 0 ] && echo "the manual page and the completion hold every command and option of --help"
exit "$((failures > 0))"
