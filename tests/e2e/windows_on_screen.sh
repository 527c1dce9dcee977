#!/usr/bin/env bash
# Every window of the program under a window manager (openbox) on a 1024 x 768 screen, at the
# scale 1 and at QT_SCALE_FACTOR=1.5: the main window, the help window, a message box, the save
# dialog, the print preview window, the viewer and its print step. Seen from the window
# manager, each frame lies on the screen; the print preview window is maximised, a message
# box cannot be maximised, and Esc closes the help window and the viewer. Saving over a file
# picked from the save dialog's completion list asks first, and the next keys typed into the
# main window all arrive.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
E2E_SCREEN=1024x768 E2E_WINDOW_MANAGER=openbox e2e_begin windows "$1"
mkdir -p "$work/home/.config" "$work/bin"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
cp "${VELEAN13_SOURCE_DIR:-.}/resources/VelEAN13.htm" "$work/"
cd "$work"
# A desktop that cannot open a web page: the program shows its own help window.
printf '#!/bin/sh\nexit 3\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
printf '400638133393\n978030640615\n590123412345\n' >list.txt
"$program" --batch list.txt --save-pages pages.vup >/dev/null || fail "could not write the page file"

# The visible window whose name is exactly $1 and that is not $2, waiting up to 10 s.
visible_window() {
  local id
  for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended early"
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      [ "$id" != "${2:-}" ] && { echo "$id"; return; }
    done
    sleep 0.1
  done
}

# The window manager's frame of a client window: its ancestor that is a child of the root.
frame_of() {
  local id=$1 tree
  for _ in 1 2 3 4 5 6; do
    tree=$(xwininfo -tree -id "$id" 2>/dev/null) || break
    echo "$tree" | grep -q 'Parent window id:.*(the root window)' && break
    id=$(echo "$tree" | awk '/Parent window id:/ {print $4}')
  done
  echo "$id"
}

# Fails unless the frame of window $1 ($2 names it) lies on the 1024 x 768 screen.
check_on_screen() {
  local frame x y w h
  sleep 0.6  # the window manager places and frames the window
  frame=$(frame_of "$1")
  read -r x y w h < <(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
  echo "$scale $2: frame ${w}x${h} at ($x, $y)"
  [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/$scale-${2// /-}.png"
  [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1024 ] && [ $((y + h)) -le 768 ] ||
    fail "at scale $scale the $2's frame ${w}x${h}+$x+$y is not on the 1024x768 screen"
}

gone() {  # waits until no visible window is named $1
  for _ in $(seq 1 50); do [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0; sleep 0.1; done
  return 1
}

focus() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true; sleep 0.3; }

title="Velmor EAN13 Barcode Maker"
for scale in 1 1.5; do
  export QT_SCALE_FACTOR=$scale
  "$program" >"$work/stdout.log" 2>&1 &
  app_pid=$!
  win=$(visible_window "$title")
  [ -n "$win" ] || fail "the main window did not appear"
  check_on_screen "$win" "main window"

  focus "$win"
  xdotool key alt+h
  help=$(visible_window "$title - Help")
  [ -n "$help" ] || fail "the help window did not appear"
  check_on_screen "$help" "help window"
  focus "$help"
  xdotool key Escape
  gone "$title - Help" || fail "Esc did not close the help window"

  focus "$win"
  xdotool key ctrl+a
  xdotool type --delay 20 "12a"
  xdotool key Return
  box=$(visible_window "$title" "$win")
  [ -n "$box" ] || fail "no message box for a refused value"
  check_on_screen "$box" "message box"
  xprop -id "$box" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE && fail "the message box can be maximised"
  focus "$box"
  xdotool key Return
  sleep 0.3
  focus "$win"
  xdotool type --delay 20 "400638133393"
  xdotool key Return
  sleep 0.3

  xdotool key alt+s
  save=$(visible_window "Save As")
  [ -n "$save" ] || save=$(visible_window "Save File")
  [ -n "$save" ] || fail "the save dialog did not appear"
  check_on_screen "$save" "save dialog"
  focus "$save"
  xdotool key Escape
  sleep 0.5

  # Over an existing file, picked from the completion list, twice; the keys typed right after
  # the dialogs close land in the value field (End, then a digit), which the settings file
  # keeps at exit.
  touch symbol.bmp
  focus "$win"
  xdotool key ctrl+a
  xdotool type "1"
  for digit in 5 6; do
    xdotool key alt+s
    [ -n "$(visible_window "Save As")" ] || fail "the save dialog did not appear"
    sleep 0.5
    xdotool type --delay 60 "sym"
    sleep 0.8
    xdotool key Down
    sleep 0.3
    xdotool key Return
    question=$(visible_window "$title" "$win")
    [ -n "$question" ] || fail "no question before replacing symbol.bmp"
    xdotool key alt+y
    sleep 0.3
    xdotool key End
    xdotool type "$digit"
    sleep 0.3
  done

  focus "$win"
  xdotool key alt+p
  dlg=$(visible_window "Print Form")
  [ -n "$dlg" ] || fail "the print preview window did not appear"
  check_on_screen "$dlg" "print preview window"
  xprop -id "$dlg" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT || fail "the print preview window is not maximised"
  focus "$dlg"
  xdotool key alt+c
  gone "Print Form" || fail "Close did not close the print preview window"
  focus "$win"
  xdotool key alt+e
  for _ in $(seq 1 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "Alt+E did not end the program"
  typed=$(head -c 4 VelEAN13.cfg | tr -d '\0')
  [ "$typed" = 156 ] || fail "at scale $scale keys typed after saving were lost: the field held \"$typed\", not 156"

  "$program" --view pages.vup >"$work/stdout.log" 2>&1 &
  app_pid=$!
  viewer=$(visible_window "pages.vup - VelEAN13 Viewer")
  [ -n "$viewer" ] || fail "the viewer did not appear"
  check_on_screen "$viewer" "viewer"
  focus "$viewer"
  xdotool key ctrl+p
  step=$(visible_window "Print")
  [ -n "$step" ] || fail "the viewer's print step did not appear"
  check_on_screen "$step" "viewer's print step"
  focus "$step"
  xdotool key Escape
  gone "Print" || fail "Esc did not cancel the print step"
  focus "$viewer"
  xdotool key Escape
  for _ in $(seq 1 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "Esc did not close the viewer"
  app_pid=""
done
echo "ok"
