#!/usr/bin/env bash
# How velean13 --grid-pdf grows with the table: for each row count, CPU time, peak memory and
# pages of
#   velean13 --grid-pdf TABLE.csv OUT.pdf --header
# on a CSV file of that many rows and six columns of short words and numbers under a heading.
# Usage: bench/grid_pdf_scaling.sh path/to/velean13 [rows ...]   (default 1000 10000 100000)
set -euo pipefail
program=$(readlink -f "$1")
shift
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1000 10000 100000)
work=$(mktemp -d /tmp/velean13-grid-XXXXXX)
trap 'rm -rf "$work"' EXIT
for n in "${counts[@]}"; do
  python3 "$(dirname "$0")/grid_pdf_table.py" "$n" > "$work/table.csv"
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$program" --grid-pdf "$work/table.csv" "$work/out.pdf" --header >/dev/null
  read -r wall user sys rss < "$work/time"
  pages=$(pdfinfo "$work/out.pdf" | awk '/^Pages:/ {print $2}')
  awk -v n="$n" -v w="$wall" -v c="$(echo "$user + $sys" | bc -l)" -v r="$rss" -v p="$pages" \
    'BEGIN {printf "grid-pdf %7d rows  %5d pages  wall %7.2f s  CPU %7.2f s  %6.1f us/row  peak RSS %7.1f MB\n", n, p, w, c, c / n * 1e6, r / 1024}'
  rm -f "$work/out.pdf"
done
