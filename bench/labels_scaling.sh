#!/usr/bin/env bash
# How velean13's batch paths grow with the number of values: for each count, peak memory and
# CPU time per value of
#   velean13 --batch LIST --pdf OUT --pages-per-sheet 4
#   velean13 --batch LIST --save-pages FILE       (and the file's size per page)
#   velean13 --view FILE --pdf OUT                 (the page file just written)
# Usage: bench/labels_scaling.sh path/to/velean13 [count ...]   (default 1000 10000 100000)
# "us/value" is the whole run's CPU over the values; "after start" leaves out the CPU of the
# same command with a single value (starting the program, fonts, the printer set-up), which
# does not grow with the count and dominates small runs.
set -euo pipefail
program=$(readlink -f "$1")
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 10000 100000)
work=$(mktemp -d /tmp/velean13-scaling-XXXXXX)
trap 'rm -rf "$work"' EXIT
declare -A start
timed() {  # timed LABEL COUNT COMMAND...: one line of figures
  local label=$1 n=$2
  shift 2
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null
  read -r wall user sys rss < "$work/time"
  local cpu
  cpu=$(echo "$user + $sys" | bc -l)
  if [ "$n" = 1 ]; then start[$label]=$cpu; return; fi
  awk -v l="$label" -v n="$n" -v w="$wall" -v c="$cpu" -v s="${start[$label]:-0}" -v r="$rss" \
    'BEGIN {printf "%-12s %7d values  wall %7.2f s  CPU %7.2f s  %6.1f us/value  %6.1f us/value after start  peak RSS %7.1f MB\n", l, n, w, c, c / n * 1e6, (c - s) / n * 1e6, r / 1024}'
}
for n in 1 "${counts[@]}"; do
  python3 - "$n" > "$work/list.txt" <<'PY'
import random, sys
random.seed(25)
for _ in range(int(sys.argv[1])):
    print(str(random.randint(1, 9)) + "".join(str(random.randint(0, 9)) for _ in range(11)))
PY
  timed "batch-pdf" "$n" "$program" --batch "$work/list.txt" --pdf "$work/out.pdf" --pages-per-sheet 4
  timed "save-pages" "$n" "$program" --batch "$work/list.txt" --save-pages "$work/out.vup"
  size=$(stat -c %s "$work/out.vup")
  [ "$n" = 1 ] || awk -v n="$n" -v s="$size" 'BEGIN {printf "%-12s %7d pages   %.1f MB, %.0f bytes per page\n", "page-file", n, s / 1048576, s / n}'
  timed "view-pdf" "$n" "$program" --view "$work/out.vup" --pdf "$work/view.pdf"
  rm -f "$work/out.pdf" "$work/out.vup" "$work/view.pdf"
done
