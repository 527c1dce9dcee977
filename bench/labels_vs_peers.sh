#!/usr/bin/env bash
# The same EAN-13 values as four-up A4 PDF pages (4 x 10 labels for the peers), by velean13
# and by two other label programs, pair by pair, with the ratios of their medians:
#   velean13 --batch LIST --pdf OUT --pages-per-sheet 4
#   labels:      velean13 --labels on the peers' 4 x 10 sheet (a sheet file), --no-verify
#   GNU barcode: barcode -e ean13 -t 4x10 -p A4, then ps2pdf
#   gLabels:     glabels-3-batch with a CSV merge on a 4 x 10 A4 template written here
# Usage: bench/labels_vs_peers.sh path/to/velean13 [count] [pairs]
# CPU is user + system time of the whole command (both steps for GNU barcode), memory its
# peak resident set (the larger step's), by /usr/bin/time. The peers are installed from
# Debian when missing (as root); nothing else is changed on the machine.
set -euo pipefail
program=$(readlink -f "$1")
count=${2:-1000}
pairs=${3:-5}

need() {  # need COMMAND PACKAGE
  command -v "$1" >/dev/null && return
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$2" >/dev/null
}
need barcode barcode
need ps2pdf ghostscript
need glabels-3-batch glabels
need pdfinfo poppler-utils
[ -x /usr/bin/time ] || need /usr/bin/time time

work=$(mktemp -d /tmp/velean13-peers-XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 - "$count" "$work" <<'PY'
import random, sys
random.seed(25)
n, work = int(sys.argv[1]), sys.argv[2]
values = [str(random.randint(1, 9)) + "".join(str(random.randint(0, 9)) for _ in range(11)) for _ in range(n)]
def check(v):
    s = sum(int(d) * (3 if i % 2 else 1) for i, d in enumerate(v))
    return v + str((10 - s % 10) % 10)
open(f"{work}/list.txt", "w").write("\n".join(values) + "\n")
open(f"{work}/values.csv", "w").write("value\n" + "\n".join(check(v) for v in values) + "\n")
PY
# A4 (210 x 297 mm) in 4 x 10 labels of 52.5 x 29.7 mm, one EAN-13 symbol each.
cat > "$work/labels.glabels" <<'XML'
<?xml version="1.0"?>
<Glabels-document version="4.0">
  <Template brand="Bench" part="4x10" size="A4" description="4 x 10 labels">
    <Meta category="label"/>
    <Label-rectangle id="0" width="52.5mm" height="29.7mm" round="0mm" x_waste="0mm" y_waste="0mm">
      <Markup-margin size="1mm"/>
      <Layout nx="4" ny="10" x0="0mm" y0="0mm" dx="52.5mm" dy="29.7mm"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-barcode x="4mm" y="3mm" w="44mm" h="23mm" lock_aspect_ratio="False" backend="gnu-barcode"
      style="EAN-13" text="True" checksum="True" format_digits="13" color="0x000000ff" field="value"
      a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
  </Objects>
  <Merge type="Text/Comma/Line1Keys" src="values.csv"/>
</Glabels-document>
XML

# The same sheet for velean13's labels.
cat > "$work/bench.sheet" <<'SHEET'
[bench-4x10]
paper = A4
columns = 4
rows = 10
label = 52.5 x 29.7 mm
margin = 0, 0 mm
pitch = 52.5, 29.7 mm
SHEET

sheets=$(( (count + 3) / 4 ))
labels=$(( (count + 39) / 40 ))
run() {  # run NAME I: one timed run; appends "cpu rss_kb" to $work/NAME.times
  local t="$work/$1-$2.time"
  case $1 in
    velean13)
      /usr/bin/time -f "%U %S %M" -o "$t" "$program" --batch "$work/list.txt" --pdf "$work/v.pdf" \
        --pages-per-sheet 4 >/dev/null
      [ "$(pdfinfo "$work/v.pdf" | awk '/^Pages:/ {print $2}')" = "$sheets" ] ;;
    labels)
      /usr/bin/time -f "%U %S %M" -o "$t" "$program" --labels bench-4x10 --sheet-file "$work/bench.sheet" \
        --batch "$work/list.txt" --pdf "$work/l.pdf" --no-verify >/dev/null
      [ "$(pdfinfo "$work/l.pdf" | awk '/^Pages:/ {print $2}')" = "$labels" ] ;;
    barcode)
      /usr/bin/time -f "%U %S %M" -o "$t.1" barcode -e ean13 -t 4x10 -p A4 -i "$work/list.txt" -o "$work/b.ps"
      /usr/bin/time -f "%U %S %M" -o "$t.2" ps2pdf "$work/b.ps" "$work/b.pdf"
      awk '{c += $1 + $2; if ($3 > m) m = $3} END {print c, 0, m}' "$t.1" "$t.2" > "$t"
      [ "$(pdfinfo "$work/b.pdf" | awk '/^Pages:/ {print $2}')" = "$labels" ] ;;
    glabels)
      (cd "$work" && /usr/bin/time -f "%U %S %M" -o "$t" glabels-3-batch -o g.pdf labels.glabels >/dev/null 2>&1)
      [ "$(pdfinfo "$work/g.pdf" | awk '/^Pages:/ {print $2}')" = "$labels" ] ;;
  esac || { echo "$1 did not write the expected pages" >&2; exit 1; }
  awk '{printf "%.3f %d\n", $1 + $2, $3}' "$t" >> "$work/$1.times"
}
# Pair by pair, the order turned every other pair, so that neither side always runs first.
for i in $(seq "$pairs"); do
  if [ $((i % 2)) = 1 ]; then run velean13 "$i"; run labels "$i"; run barcode "$i"; run glabels "$i"
  else run glabels "$i"; run barcode "$i"; run labels "$i"; run velean13 "$i"; fi
done
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
cpu() { cut -d' ' -f1 "$work/$1.times" | median; }
rss() { cut -d' ' -f2 "$work/$1.times" | median; }
printf '%d values, %d pairs, medians (CPU = user + system)\n' "$count" "$pairs"
for p in velean13 labels barcode glabels; do
  printf '  %-9s CPU %6.2f s  peak RSS %6.1f MB\n' "$p" "$(cpu $p)" "$(echo "$(rss $p) / 1024" | bc -l)"
done
printf 'velean13 / GNU barcode + ps2pdf: CPU %.2f x, peak RSS %.2f x\n' \
  "$(echo "$(cpu velean13) / $(cpu barcode)" | bc -l)" "$(echo "$(rss velean13) / $(rss barcode)" | bc -l)"
printf 'velean13 / gLabels batch:        CPU %.2f x, peak RSS %.2f x\n' \
  "$(echo "$(cpu velean13) / $(cpu glabels)" | bc -l)" "$(echo "$(rss velean13) / $(rss glabels)" | bc -l)"
printf 'labels / GNU barcode + ps2pdf:   CPU %.2f x, peak RSS %.2f x\n' \
  "$(echo "$(cpu labels) / $(cpu barcode)" | bc -l)" "$(echo "$(rss labels) / $(rss barcode)" | bc -l)"
printf 'labels / gLabels batch:          CPU %.2f x, peak RSS %.2f x\n' \
  "$(echo "$(cpu labels) / $(cpu glabels)" | bc -l)" "$(echo "$(rss labels) / $(rss glabels)" | bc -l)"
