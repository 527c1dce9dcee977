#!/usr/bin/env bash
# Times `velean13 --batch` against zint's batch mode on the same random values, both writing
# BMP files, in one run. Usage: bench/batch_vs_zint.sh path/to/velean13 [count]
# File creation on ext4 right after many deletions is slower for whoever comes first, so the
# two run in the order zint, velean13, velean13, zint and each total counts both of its runs.
set -euo pipefail
program=$(readlink -f "$1")
count=${2:-10000}
# BATCH_TMP picks the file system; the default, a RAM disk, leaves out the disk allocator,
# which otherwise dominates both programs and depends on what was deleted before.
base=${BATCH_TMP:-/dev/shm}
[ -d "$base" ] || base=/tmp
work=$(mktemp -d "$base/velean13-batch-XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$count" > "$work/list.txt" <<'PY'
import random, sys
random.seed(13)
for _ in range(int(sys.argv[1])):
    print(str(random.randint(1, 9)) + "".join(str(random.randint(0, 9)) for _ in range(11)))
PY
run() {  # run NAME N: one timed run into its own fresh folder
  local dir="$work/$1-$2"
  mkdir -p "$dir"
  if [ "$1" = zint ]; then
    (cd "$dir" && /usr/bin/time -f "%e %U %S" -o "$dir.time" zint -b 13 --batch --filetype=BMP -i "$work/list.txt" >/dev/null)
  else
    /usr/bin/time -f "%e %U %S" -o "$dir.time" "$program" --batch "$work/list.txt" --out "$dir" >/dev/null
  fi
  [ "$(ls "$dir" | wc -l)" = "$count" ] || { echo "$1 wrote $(ls "$dir" | wc -l) files" >&2; exit 1; }
}
run zint 1; run velean13 1; run velean13 2; run zint 2
total() { awk '{w += $1; c += $2 + $3} END {printf "%.2f %.2f", w, c}' "$work/$1-1.time" "$work/$1-2.time"; }
read -r ow oc <<<"$(total velean13)"
read -r zw zc <<<"$(total zint)"
printf 'velean13 --batch: 2 x %d files, wall %.2f s, cpu %.2f s\n' "$count" "$ow" "$oc"
printf 'zint --batch:     2 x %d files, wall %.2f s, cpu %.2f s\n' "$count" "$zw" "$zc"
printf 'ratio zint/velean13: wall %.2f, cpu %.2f (above 1: velean13 is faster)\n' \
  "$(echo "$zw / $ow" | bc -l)" "$(echo "$zc / $oc" | bc -l)"
