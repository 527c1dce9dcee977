#!/usr/bin/env bash
# The viewer window of a page file under the X server: a three-page barcode document saved
# with --save-pages opens with --view in a window with its thumbnail strip, the first page
# marked in blue; Alt+N moves the mark one thumbnail down, a click on the next thumbnail moves
# it again. A file that is not a page file gives its reason and status 1, without a window.
# The first screenshot is kept as the README's picture when VELEAN13_SCREENSHOTS is set.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
e2e_begin viewer "$1"
cd "$work"
mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home"

printf '400638133393\n978030640615\n590123412345\n' >list.txt
"$program" --batch list.txt --save-pages pages.vup >/dev/null || fail "could not write the page file"
printf 'not a page file\n' >bad.vup
set +e
"$program" --view bad.vup >out.txt 2>err.txt
rc=$?
set -e
[ "$rc" = 1 ] || fail "a file that is not a page file gave status $rc"
grep -q 'bad.vup" is not a readable page file' err.txt || fail "no reason given: $(cat err.txt)"

"$program" --view pages.vup >"$work/stdout.log" 2>&1 &
app_pid=$!
win=$(window_named "pages.vup - VelEAN13 Viewer" 300)
[ -n "$win" ] || fail "the viewer did not appear"
sleep 1
shot() { import -window "$win" "$work/$1.png"; convert "$work/$1.png" "$work/$1.ppm"; }
# The box of pure blue pixels (the mark) in the strip's columns.
cat >"$work/mark.py" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
parts, pos = [], 0
while len(parts) < 4:
    while data[pos:pos+1].isspace(): pos += 1
    start = pos
    while not data[pos:pos+1].isspace(): pos += 1
    parts.append(data[start:pos])
w, h = int(parts[1]), int(parts[2]); px = data[pos+1:]
xs, ys = [], []
for y in range(h):
    for x in range(min(w, 130)):
        i = 3 * (y * w + x)
        if px[i] == 0 and px[i+1] == 0 and px[i+2] == 255: xs.append(x); ys.append(y)
print(*(min(xs), min(ys), max(xs), max(ys)) if xs else ['none'])
PY
mark() { python3 "$work/mark.py" "$work/$1.ppm"; }

shot first
[ -n "${VELEAN13_SCREENSHOTS:-}" ] && cp "$work/first.png" "$VELEAN13_SCREENSHOTS/viewer.png"
read -r x0 y0 x1 y1 < <(mark first)
[ "$x0" != none ] || fail "no thumbnail is marked"

focus_window "$win"
sleep 0.2
xdotool key alt+n
sleep 0.5
shot next
read -r nx0 ny0 nx1 ny1 < <(mark next)
[ "$nx0" != none ] || fail "no thumbnail is marked after Alt+N"
step=$((ny0 - y0))
[ "$step" -gt 50 ] || fail "Alt+N did not move the mark down the strip ($y0 -> $ny0)"

# A click on the thumbnail under the marked one.
xdotool mousemove --window "$win" $(((nx0 + nx1) / 2)) $(((ny0 + ny1) / 2 + step)) click 1
sleep 0.5
shot click
read -r cx0 cy0 cx1 cy1 < <(mark click)
[ "$((cy0 - ny0))" = "$step" ] || fail "the click did not mark the next thumbnail ($ny0 -> $cy0, step $step)"
echo "ok"
