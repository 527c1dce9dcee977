#!/usr/bin/env bash
# The mouse on the print preview window's page: pressing on the barcode and dragging it moves
# it on the page by the distance the mouse went; Shift and a drag over empty paper records a
# rectangle with the rubber band's corners. Both are looked at on screen.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
e2e_begin interaction "$1"

cd "$work"
mkdir -p "$work/home"
export XDG_CONFIG_HOME="$work/home"

# Boxes of a colour screenshot (ImageMagick's PPM): "dark" pixels are black or nearly (the
# bars, the page border), "ink" pixels are anything not white and not the red selection frame.
cat >"$work/box.py" <<'PY'
import sys
def read_ppm(path):
    data = open(path, 'rb').read()
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos+1].isspace(): pos += 1
        start = pos
        while not data[pos:pos+1].isspace(): pos += 1
        parts.append(data[start:pos])
    w, h = int(parts[1]), int(parts[2])
    return w, h, data[pos+1:pos+1+3*w*h]
def kind(r, g, b, what):
    if what == 'dark': return max(r, g, b) < 100
    return min(r, g, b) < 235 and not (r > 200 and g < 120 and b < 120)
w, h, px = read_ppm(sys.argv[1])
if sys.argv[2] == 'page':
    # The sheet's corner: the first column dark over most of the height with paper right of
    # it, then the first such row.
    dark = lambda x, y: kind(px[3*(y*w+x)], px[3*(y*w+x)+1], px[3*(y*w+x)+2], 'dark')
    white = lambda x, y: min(px[3*(y*w+x):3*(y*w+x)+3]) > 240
    left = next(x for x in range(w - 1) if sum(dark(x, y) for y in range(h)) > h * 0.6
                and sum(white(x + 1, y) for y in range(h)) > h * 0.6)
    top = next(y for y in range(h - 1) if sum(dark(x, y) for x in range(left + 1, left + 700)) > 600
               and sum(white(x, y + 1) for x in range(left + 1, left + 700)) > 600)
    print(left, top)
    sys.exit(0)
what = sys.argv[2]
x0, y0, x1, y1 = map(int, sys.argv[3:7])
xs, ys = [], []
for y in range(y0, y1):
    for x in range(x0, x1):
        i = 3 * (y * w + x)
        if kind(px[i], px[i+1], px[i+2], what): xs.append(x); ys.append(y)
print(min(xs), min(ys), max(xs), max(ys)) if xs else print('none')
PY
box() { python3 "$work/box.py" "$@"; }
# The preview area of the dialog (below the 73-pixel tool panel, without the status bar).
shot() {
  eval "$(xdotool getwindowgeometry --shell "$dlg")"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${WIDTH}x$((HEIGHT - 73 - 40))+$X+$((Y + 73))" +repage "$work/$1.ppm"
}
# Screen position of a point given in sheet pixels.
screen_at() { echo $((X + pl + $1)) $((Y + 73 + pt + $2)); }
drag() {  # $1 $2 from, $3 $4 by, in sheet pixels
  local fx fy
  read -r fx fy < <(screen_at "$1" "$2")
  xdotool mousemove "$fx" "$fy"
  sleep 0.2
  xdotool mousedown 1
  for i in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $((fx + $3 * i / 10)) $((fy + $4 * i / 10))
    sleep 0.05
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 0.5
}

start_program
xdotool key --window "$win" ctrl+a
xdotool type --delay 20 400638133393
xdotool key Return
sleep 0.3
xdotool key alt+p
dlg=$(window_named "Print Form")
[ -n "$dlg" ] || fail "the print preview window did not appear"

# The barcode's bars on the sheet, once the maximised window shows them.
bars=""
for _ in $(seq 1 30); do
  sleep 0.3
  shot before
  read -r pl pt < <(box before.ppm page 2>/dev/null) || continue
  bars=$(box before.ppm dark $((pl + 200)) $((pt + 150)) $((pl + 700)) $((pt + 360)))
  [ "$bars" != none ] && break
done
[ -n "$bars" ] && [ "$bars" != none ] || fail "the barcode page did not show"
read -r bx0 by0 bx1 by1 <<<"$bars"
echo "sheet corner at ($pl, $pt) in the preview, bars at $bars"

# ---- moving the barcode by (100, 150) pixels: at zoom 100 that is the distance on screen
drag $((bx0 - pl + 40)) $((by0 - pt + 40)) 100 150
shot moved
[ "$(box moved.ppm dark $((bx0 - 2)) $((by0 - 2)) $((bx0 + 60)) $((by0 + 60)))" = none ] \
  || fail "bars are still where the barcode was"
moved=$(box moved.ppm dark $((pl + 200)) $((pt + 150)) $((pl + 780)) $((pt + 560)))
read -r mx0 my0 mx1 my1 <<<"$moved"
want="$((bx0 + 100)) $((by0 + 150)) $((bx1 + 100)) $((by1 + 150))"
python3 - "$moved" "$want" <<'PY' || fail "the bars moved to $moved, expected $want"
import sys
got, want = (list(map(int, a.split())) for a in sys.argv[1:3])
sys.exit(0 if all(abs(g - w) <= 1 for g, w in zip(got, want)) else 1)
PY
echo "bars moved to $moved"

# ---- a rectangle with the rubber band: Shift and a drag from (100, 620) by (300, 200)
area="$((pl + 80)) $((pt + 600)) $((pl + 420)) $((pt + 840))"
[ "$(box moved.ppm ink $area)" = none ] || fail "the paper is not empty where the rectangle goes"
xdotool keydown shift
drag 100 620 300 200
xdotool keyup shift
shot drawn
drawn=$(box drawn.ppm ink $area)
[ "$drawn" != none ] || fail "no rectangle was recorded"
python3 - "$drawn" "$((pl + 100)) $((pt + 620)) $((pl + 400)) $((pt + 820))" <<'PY' || fail "the rectangle lies at $drawn"
import sys
got, want = (list(map(int, a.split())) for a in sys.argv[1:3])
# The recorded corners are the band's; the right and bottom edges stop a pixel short.
sys.exit(0 if all(abs(g - w) <= 2 for g, w in zip(got, want)) else 1)
PY
echo "rectangle recorded at $drawn"
# The outline itself: the middle of the rectangle stays white paper.
[ "$(box drawn.ppm ink $((pl + 110)) $((pt + 630)) $((pl + 390)) $((pt + 810)))" = none ] \
  || fail "the rectangle is not an outline"

xdotool key Escape
sleep 0.3
