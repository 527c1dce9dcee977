#!/usr/bin/env bash
# CPU and peak memory of `velean13 --labels` on the same random values on a 4 x 10 A4 sheet,
# into a PDF file, with the read-back check off and on (its cost per label is the difference).
# Then peak memory at 1,000 and at 100,000 labels (--no-verify; 10,000 with --verify, which
# reads every label back), which should be the same: labels stream through the print job a
# sheet at a time (set SCALING=0 to skip).
# The comparison with the peer programs is bench/labels_vs_peers.sh.
# Usage: bash scripts/with-services.sh bench/labels_sheet.sh path/to/velean13 [count]
# (--pdf takes its geometry from the default printer, so the PDF queue must be there)
set -euo pipefail
shopt -s inherit_errexit
program=$(readlink -f "$1")
count=${2:-1000}
work=$(mktemp -d "${TMPDIR:-/tmp}/velean13-labels-XXXXXX")
trap 'rm -rf "$work"' EXIT
values() {  # values COUNT FILE: random 12-digit values
  python3 - "$1" > "$2" <<'PY'
import random, sys
random.seed(13)
for _ in range(int(sys.argv[1])):
    print(str(random.randint(1, 9)) + "".join(str(random.randint(0, 9)) for _ in range(11)))
PY
}
values "$count" "$work/list.txt"
run() {  # run LABEL ARGS...: best CPU of three runs
  local label=$1 best="" mem=""
  shift
  for i in 1 2 3; do
    /usr/bin/time -f "%U %S %M" -o "$work/t" "$program" --labels 4x10-48.5x25.4 --batch "$work/list.txt" \
      --pdf "$work/out.pdf" "$@" > "$work/out.txt"
    read -r u s m < "$work/t"
    cpu=$(echo "$u + $s" | bc -l)
    if [ -z "$best" ] || (( $(echo "$cpu < $best" | bc -l) )); then best=$cpu; mem=$m; fi
  done
  printf '%-24s %d labels: cpu %.2f s, peak %d MB (%s)\n' "$label" "$count" "$best" $((mem / 1024)) "$(cat "$work/out.txt")" >&2
  echo "$best"
}
off=$(run "--labels --no-verify" --no-verify)
on=$(run "--labels --verify" --verify)
printf 'read-back check: %.2f ms a label\n' "$(echo "($on - $off) * 1000 / $count" | bc -l)"

[ "${SCALING:-1}" = 0 ] && exit 0
for mode in --no-verify --verify; do
  large=100000
  [ "$mode" = --verify ] && large=10000
  for n in 1000 $large; do
    values "$n" "$work/scale.txt"
    /usr/bin/time -f "%e %U %S %M" -o "$work/t" "$program" --labels 4x10-48.5x25.4 --batch "$work/scale.txt" \
      --pdf "$work/scale.pdf" "$mode" > "$work/out.txt"
    read -r wall u s m < "$work/t"
    printf 'memory %-12s %6d labels: peak RSS %6.1f MB, cpu %7.2f s, %.0f us a label (%s)\n' "$mode" "$n" \
      "$(echo "$m / 1024" | bc -l)" "$(echo "$u + $s" | bc -l)" "$(echo "($u + $s) * 1000000 / $n" | bc -l)" \
      "$(cat "$work/out.txt")" >&2
  done
done
