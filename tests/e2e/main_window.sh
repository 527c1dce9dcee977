#!/usr/bin/env bash
# The real program under an X server: type a value, press Enter, read the drawn barcode back
# from a screenshot with an independent decoder, open and cancel the save dialog, ask for help
# where the desktop cannot open it, close with Alt+E and check the settings file (and that no
# other settings file appeared). A second run at screen scale 1.5 must draw the barcode in
# black and white.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
e2e_begin e2e "$1"

cp "${VELEAN13_SOURCE_DIR:-.}/resources/VelEAN13.htm" "$work/" 2>/dev/null || true
cd "$work"
# A home of its own, and a desktop that has no way to open a web page.
mkdir -p "$work/home/.config" "$work/bin"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
printf '#!/bin/sh\necho "xdg-open: no method available for opening $1" >&2\nexit 3\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

start_program

# Replace the field's text by a new value and press Enter.
xdotool key --window "$win" ctrl+a
xdotool type --delay 20 "400638133393"
xdotool key Return

# The picture sits at (11, 15) inside the panel at (312, 72) of the client area; on a busy
# machine the repaint may take a moment, so look again until it reads.
decoded=""
for _ in $(seq 1 20); do
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "210x146+$((X + 312 + 11))+$((Y + 72 + 15))" +repage "$work/picture.png"
  decoded=$(zbarimg -q --raw "$work/picture.png" 2>/dev/null || true)
  [ "$decoded" = "4006381333931" ] && break
  sleep 0.3
done
[ "$decoded" = "4006381333931" ] || fail "decoded '$decoded' instead of 4006381333931"

# The save dialog opens and cancels.
xdotool key alt+s
[ -n "$(window_named "Save As")" ] || fail "the save dialog did not appear"
sleep 0.3
xdotool key Escape
for _ in $(seq 1 50); do [ -z "$(xdotool search --name '^Save As$' 2>/dev/null)" ] && break; sleep 0.1; done

# Help: the desktop cannot open the page, so the program shows it itself.
focus_window "$win"
xdotool key alt+h
[ -n "$(window_named "Velmor EAN13 Barcode Maker - Help")" ] || fail "Help showed no page"

# Closing the main window ends the program, the help window with it.
close_program
[ -f VelEAN13.cfg ] || fail "no settings file written"
[ "$(stat -c %s VelEAN13.cfg)" = 190 ] || fail "settings file is not 190 bytes"
stored=$(head -c 13 VelEAN13.cfg)
[ "$stored" = "4006381333931" ] || fail "settings file holds '$stored'"
[ "$(head -c 14 VelEAN13.cfg | tail -c 1 | od -An -tu1 | tr -d ' ')" = 0 ] || fail "no terminator"
[ -z "$(find "$work/home" -type f)" ] || fail "files appeared in the home folder: $(find "$work/home" -type f)"

# At screen scale 1.5 the stored value's barcode keeps to black and white (and the background
# around it): each bitmap pixel is one device pixel, not 1.5.
QT_SCALE_FACTOR=1.5 start_program
colours=""
for _ in $(seq 1 20); do
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -window root "$work/screen.png"
  # The picture control: client (323, 87), 210 x 146, in device pixels at 1.5.
  convert "$work/screen.png" -crop "316x220+$((X + 484))+$((Y + 130))" +repage "$work/scaled.png"
  colours=$(identify -format %k "$work/scaled.png")
  decoded=$(zbarimg -q --raw "$work/scaled.png" 2>/dev/null || true)
  [ "$decoded" = "4006381333931" ] && break
  sleep 0.3
done
[ "$decoded" = "4006381333931" ] || fail "at scale 1.5 decoded '$decoded'"
[ "$colours" -le 3 ] || fail "at scale 1.5 the picture has $colours colours"
close_program
echo "PASS: typed, drew, decoded, saved nothing, showed help, closed and stored 4006381333931; black and white at scale 1.5"
