#!/usr/bin/env bash
# --help (with the barcode component's --symbology help), the bash completion and the manual
# page name the same long options: none of the three can gain or lose one alone.
# Usage: options_agree.sh PROGRAM COMPLETION MANUAL
set -euo pipefail
program=$1 completion=$2 manual=$3

long_options() { grep -o -E -- '--[a-z][a-z-]*[a-z]' | sort -u; }

from_help=$({ "$program" --help; "$program" --symbology help; } | long_options)

# The completion as bash runs it, with bash-completion's helpers stood in for: what it offers
# after "--" on a plain line and within a --symbology line.
from_completion=$(
  _init_completion() {
    cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
  }
  _filedir() { :; }
  # shellcheck source=/dev/null
  . "$completion"
  for line in "velean13 --" "velean13 --symbology Code128B --"; do
    read -r -a COMP_WORDS <<<"$line"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _velean13 velean13 "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}"
  done | long_options
)

# Roff writes a hyphen as \-.
from_manual=$(sed 's/\\-/-/g' "$manual" | long_options)

status=0
for other in completion manual; do
  var=from_$other
  if [ "$from_help" != "${!var}" ]; then
    echo "FAIL: --help and the $other name different options (< help, > $other):" >&2
    diff <(echo "$from_help") <(echo "${!var}") >&2 || true
    status=1
  fi
done
[ "$(echo "$from_help" | wc -l)" -ge 20 ] || { echo "FAIL: only $(echo "$from_help" | wc -l) options found in --help" >&2; status=1; }
[ $status = 0 ] && echo "PASS: $(echo "$from_help" | wc -l) options, the same in --help, the completion and the manual"
exit $status
