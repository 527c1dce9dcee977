#!/usr/bin/env bash
# The window started as the menu entry starts it (the entry's Exec line, HOME a fresh folder,
# no XDG_CONFIG_HOME, a working folder of its own) keeps its settings file in
# $HOME/.config/velean13, made private on first start, and writes nothing anywhere else; a
# second start from the menu reads the value back and draws it.
set -euo pipefail
. "$(dirname "$0")/lib/common.sh"
e2e_begin desktop "$1"

entry="${VELEAN13_SOURCE_DIR:-.}/packaging/org.velmor.velean13.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
read -r -a argv <<<"$exec_line"
[ "${argv[0]:-}" = velean13 ] || fail "the menu entry starts '${argv[0]:-}', not velean13"
argv[0]=$program

mkdir -p "$work/home" "$work/cwd"
export HOME="$work/home"
unset XDG_CONFIG_HOME
cd "$work/cwd"

start_program "${argv[@]}"
xdotool key --window "$win" ctrl+a
xdotool type --delay 20 "400638133393"
xdotool key Return
close_program

settings="$HOME/.config/velean13/VelEAN13.cfg"
[ -f "$settings" ] || fail "no settings file in \$HOME/.config/velean13"
[ "$(head -c 13 "$settings")" = 4006381333931 ] || fail "the settings file holds '$(head -c 13 "$settings")'"
[ "$(stat -c %a "$HOME/.config/velean13")" = 700 ] || fail "the settings folder is not private"
others=$(find "$work/home" "$work/cwd" -type f ! -path "$settings")
[ -z "$others" ] || fail "files written outside the settings folder: $others"

# The picture sits at (11, 15) inside the panel at (312, 72): the stored value, drawn on start.
start_program "${argv[@]}"
decoded=""
for _ in $(seq 1 20); do
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "210x146+$((X + 312 + 11))+$((Y + 72 + 15))" +repage "$work/picture.png"
  decoded=$(zbarimg -q --raw "$work/picture.png" 2>/dev/null || true)
  [ "$decoded" = 4006381333931 ] && break
  sleep 0.3
done
[ "$decoded" = 4006381333931 ] || fail "the second start drew '$decoded'"
close_program
echo "PASS: started as the menu entry, kept 4006381333931 in \$HOME/.config/velean13 only, read it back"
