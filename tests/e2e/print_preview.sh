#!/usr/bin/env bash
# Printing end to end, on the real spooler's cups-pdf queue: the main window's Print opens the
# print preview window maximised with the barcode page; its Print sends the page to the
# default queue. The PDF that lands, and the ones the command line prints and writes, must
# hold one A4 page with the barcode's bars where the page puts them (80 mm from the left and
# 50 mm from the top for the bitmap's corner, one bitmap pixel a 96th of an inch), within one
# pixel at 300 dpi, and an independent decoder must read the value from it. A two-up batch
# PDF puts two pages side by side on a landscape sheet at 70 %.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
e2e_begin print "$1"

lpstat -r 2>/dev/null | grep -q "scheduler is running" || fail "the CUPS scheduler is not running"
lpstat -d 2>/dev/null | grep -q "PDF" || fail "the default queue is not the cups-pdf queue PDF"
# cups-pdf writes into the home folder of the user the job belongs to.
pdfdir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"

cd "$work"
mkdir -p "$work/home"
export XDG_CONFIG_HOME="$work/home"

# Dark-pixel boxes of a grey image, from ImageMagick's plain PGM.
cat >"$work/box.py" <<'PY'
import sys
def read_pgm(path):
    data = open(path, 'rb').read()
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos+1].isspace(): pos += 1
        if data[pos:pos+1] == b'#':
            while data[pos:pos+1] != b'\n': pos += 1
            continue
        start = pos
        while not data[pos:pos+1].isspace(): pos += 1
        parts.append(data[start:pos])
    w, h = int(parts[1]), int(parts[2])
    return w, h, data[pos+1:pos+1+w*h]
def box(path, x0=0, y0=0, x1=None, y1=None):
    w, h, px = read_pgm(path)
    x1 = w if x1 is None else x1; y1 = h if y1 is None else y1
    xs, ys = [], []
    for y in range(y0, y1):
        row = px[y*w:(y+1)*w]
        dark = [x for x in range(x0, x1) if row[x] < 128]
        if dark:
            xs += (dark[0], dark[-1]); ys.append(y)
    return (min(xs), min(ys), max(xs), max(ys)) if xs else None
cmd = sys.argv[1]
if cmd == 'size':
    w, h, _ = read_pgm(sys.argv[2]); print(w, h)
elif cmd == 'box':
    args = [int(a) for a in sys.argv[3:]]
    b = box(sys.argv[2], *args); print(*b) if b else print('none')
elif cmd == 'page':
    # The sheet in a screenshot: its left border is the first column dark over most of the
    # height with white paper right of it, its top border the first such row.
    w, h, px = read_pgm(sys.argv[2])
    col = lambda x, v: sum(px[y*w + x] < 128 if v else px[y*w + x] > 240 for y in range(h))
    left = next(x for x in range(w - 1) if col(x, True) > h * 0.6 and col(x + 1, False) > h * 0.6)
    row = lambda y, v: sum(px[y*w + x] < 128 if v else px[y*w + x] > 240 for x in range(left + 1, min(w, left + 700)))
    top = next(y for y in range(h - 1) if row(y, True) > 600 and row(y + 1, False) > 600)
    print(left, top)
PY
box() { python3 "$work/box.py" "$@"; }
pgm() { convert "$1" -colorspace gray -depth 8 pgm:"$2"; }

value=4006381333931
# The bitmap's own bars, in bitmap pixels, are the reference for every check below.
"$program" --value "$value" --save "$work/ref.bmp" >/dev/null || fail "could not save the reference bitmap"
pgm "$work/ref.bmp" "$work/ref.pgm"
read -r bx0 by0 bx1 by1 < <(box box "$work/ref.pgm")

# One page at 300 dpi: the bars of the bitmap (80, 50) mm from the corner, each bitmap pixel
# 300/96 device pixels; the decoder reads the value.
check_page() {  # $1 pdf, $2 what
  local pdf=$1 what=$2
  [ "$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || fail "$what: not one page"
  pdfinfo "$pdf" | grep -Eq 'Page size: +59[45](\.[0-9]+)? x 84[12](\.[0-9]+)? pts' || fail "$what: not an A4 portrait page"
  pdftoppm -r 300 -gray -singlefile "$pdf" "$work/page" || fail "$what: pdftoppm failed"
  read -r x0 y0 x1 y1 < <(box box "$work/page.pgm")
  python3 - "$x0" "$y0" "$x1" "$y1" "$bx0" "$by0" "$bx1" "$by1" "$what" <<'PY' || exit 1
import sys
x0, y0, x1, y1, bx0, by0, bx1, by1 = map(int, sys.argv[1:9]); what = sys.argv[9]
k = 300 / 96
want = (80 / 25.4 * 300 + bx0 * k, 50 / 25.4 * 300 + by0 * k,
        80 / 25.4 * 300 + (bx1 + 1) * k - 1, 50 / 25.4 * 300 + (by1 + 1) * k - 1)
got = (x0, y0, x1, y1)
# The corner within one pixel; the far edges within two, since poppler's scaling of an
# enlarged image can leave out the last, partly covered pixel row and column.
if any(abs(g - w) > t for g, w, t in zip(got, want, (1.0, 1.0, 2.0, 2.0))):
    print("FAIL: %s: bars at %s, expected %s" % (what, got, tuple(round(w, 1) for w in want)), file=sys.stderr)
    sys.exit(1)
# The whole bitmap: 210 x 146 pixels are 55.5625 x 38.629 mm.
print("%s: bars at %s px (expected %s), bitmap %.4f x %.3f mm" % (what, got, tuple(round(w, 1) for w in want), 210 / 96 * 25.4, 146 / 96 * 25.4))
PY
  [ "$(zbarimg -q --raw "$work/page.pgm" 2>/dev/null)" = "$value" ] || fail "$what: the decoder did not read $value"
}

# The file cups-pdf writes for a job id, once it has been written completely.
job_pdf() {
  local id=$1 f=""
  for _ in $(seq 1 150); do
    f=$(ls "$pdfdir"/*job_"$id".pdf 2>/dev/null | head -n1 || true)
    if [ -n "$f" ] && [ -z "$(lpstat -W not-completed -o 2>/dev/null | grep -- "-$id " || true)" ]; then
      sleep 0.3; echo "$f"; return 0
    fi
    sleep 0.2
  done
  return 1
}
# The queue is shared with other tests: of the PDFs that appeared after the marker file, the
# one whose page reads as the value typed in the window.
window_pdf() {
  local f
  for _ in $(seq 1 150); do
    for f in $(find "$pdfdir" -name '*.pdf' -newer "$1" 2>/dev/null); do
      sleep 0.5
      pdftoppm -r 100 -gray -singlefile "$f" "$work/probe" 2>/dev/null || continue
      [ "$(zbarimg -q --raw "$work/probe.pgm" 2>/dev/null)" = "$value" ] && { echo "$f"; return 0; }
    done
    sleep 0.2
  done
  return 1
}

# ---- the window
start_program
xdotool key --window "$win" ctrl+a
xdotool type --delay 20 "${value:0:12}"
xdotool key Return
sleep 0.3
xdotool key alt+p
dlg=$(window_named "Print Form")
[ -n "$dlg" ] || fail "the print preview window did not appear"
maximised=""
for _ in $(seq 1 50); do
  xprop -id "$dlg" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_MAXIMIZED_VERT && { maximised=yes; break; }
  sleep 0.1
done
[ -n "$maximised" ] || fail "the print preview window is not maximised"
eval "$(xdotool getwindowgeometry --shell "$dlg")"
read -r sw sh < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
[ "$WIDTH" -ge $((sw - 16)) ] && [ "$HEIGHT" -ge $((sh - 64)) ] || fail "the print preview window is ${WIDTH}x${HEIGHT} on a ${sw}x${sh} screen"

# At zoom 100 the bars stand (302, 189) px from the sheet's corner plus their offset in the
# bitmap, and the decoder reads them from the screen.
ok=""
for _ in $(seq 1 20); do
  eval "$(xdotool getwindowgeometry --shell "$dlg")"
  import -window root "$work/screen.png"
  # The preview below the 73-pixel tool panel, without the status bar.
  convert "$work/screen.png" -crop "${WIDTH}x$((HEIGHT - 73 - 40))+$X+$((Y + 73))" +repage "$work/preview.png"
  pgm "$work/preview.png" "$work/preview.pgm"
  if [ "$(zbarimg -q --raw "$work/preview.pgm" 2>/dev/null || true)" = "$value" ]; then
    read -r pl pt < <(box page "$work/preview.pgm")
    read -r sx0 sy0 _ _ < <(box box "$work/preview.pgm" $((pl + 4)) $((pt + 4)) $((pl + 780)) $((HEIGHT - 120)))
    # 80 mm and 50 mm at 96 dpi: 302 and 189 pixels from the sheet's corner.
    dx=$((sx0 - pl - 302 - bx0)); dy=$((sy0 - pt - 189 - by0))
    offset="$((sx0 - pl)), $((sy0 - pt))"
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] && ok=yes && break
  fi
  sleep 0.3
done
[ -n "$ok" ] || fail "the barcode is not at (302, 189) px plus its offset in the bitmap from the sheet's corner on screen (${offset:-not found})"

touch "$work/marker"
sleep 1
xdotool windowfocus --sync "$dlg" 2>/dev/null || true
xdotool key alt+p
pdf=$(window_pdf "$work/marker") || fail "no PDF from the window's Print"
check_page "$pdf" "window"
xdotool key alt+c
for _ in $(seq 1 50); do [ -z "$(xdotool search --name '^Print Form$' 2>/dev/null)" ] && break; sleep 0.1; done
[ -z "$(xdotool search --name '^Print Form$' 2>/dev/null)" ] || fail "Close did not close the print preview window"
focus_window "$win"
xdotool key alt+e
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
app_pid=""

# ---- the command line
id=$("$program" --value "${value:0:12}" --print --printer PDF) || fail "--print failed"
[[ "$id" =~ ^[0-9]+$ ]] && [ "$id" -gt 0 ] || fail "--print wrote '$id' instead of a job id"
pdf=$(job_pdf "$id") || fail "no PDF for job $id"
check_page "$pdf" "--print"

"$program" --value "${value:0:12}" --pdf "$work/one.pdf" >/dev/null || fail "--pdf failed"
check_page "$work/one.pdf" "--pdf"

set +e
"$program" --value "$value" --print --printer NoSuchQueue >/dev/null 2>"$work/err.txt"
status=$?
set -e
[ "$status" = 1 ] || fail "a missing queue gave status $status"
grep -q 'Printer "NoSuchQueue" is not installed.' "$work/err.txt" || fail "a missing queue said: $(cat "$work/err.txt")"

# Two up: a landscape A4 sheet, each page in its half at trunc(2480 / 3508 * 100) = 70 %.
printf '%s\n%s\n' 4006381333931 9780201379624 >"$work/list.txt"
"$program" --batch "$work/list.txt" --pdf "$work/two.pdf" --pages-per-sheet 2 >/dev/null || fail "--batch --pdf failed"
[ "$(pdfinfo "$work/two.pdf" | awk '/^Pages:/ {print $2}')" = 1 ] || fail "two-up: not one sheet"
pdfinfo "$work/two.pdf" | grep -Eq 'Page size: +84[12](\.[0-9]+)? x 59[45](\.[0-9]+)? pts' || fail "two-up: not a landscape A4 sheet"
pdftoppm -r 300 -gray -singlefile "$work/two.pdf" "$work/two"
read -r w h < <(box size "$work/two.pgm")
half=$((w / 2))
for side in 0 1; do
  read -r x0 y0 x1 y1 < <(box box "$work/two.pgm" $((side * half)) 0 $(((side + 1) * half)) "$h")
  python3 - "$x0" "$y0" "$x1" "$bx0" "$by0" "$bx1" "$((side * half))" <<'PY' || fail "two-up: page $((side + 1)) misplaced"
import sys
x0, y0, x1, bx0, by0, bx1, left = map(int, sys.argv[1:8])
k, s = 300 / 96, 0.70
want = (left + (80 / 25.4 * 300 + bx0 * k) * s, (50 / 25.4 * 300 + by0 * k) * s, left + (80 / 25.4 * 300 + (bx1 + 1) * k) * s - 1)
if any(abs(g - w) > 2.0 for g, w in zip((x0, y0, x1), want)):
    print("FAIL: two-up at %s, expected %s" % ((x0, y0, x1), want), file=sys.stderr); sys.exit(1)
PY
  convert "$work/two.pgm" -crop "${half}x${h}+$((side * half))+0" +repage "$work/half.pgm"
  decoded=$(zbarimg -q --raw "$work/half.pgm" 2>/dev/null || true)
  want=$(sed -n "$((side + 1))p" "$work/list.txt")
  [ "$decoded" = "$want" ] || fail "two-up: page $((side + 1)) reads '$decoded'"
done
echo "PASS: window and command-line print, PDF file and two-up batch placed and decoded"
