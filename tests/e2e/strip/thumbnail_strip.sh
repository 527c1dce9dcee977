#!/usr/bin/env bash
# Thumbnail strips under the X server, one in each highlight style with page 2 marked: a
# screenshot must show the mark in the selected colour (blue) where the style puts it, on the
# marked thumbnail only: a line along the page's edge one pixel wide (thin), two pixels wide
# (thick), or the whole thumbnail filled around the page (background).
set -euo pipefail
. "$(dirname "$0")/../lib/common.sh"
e2e_begin strips "$1"

"$program" >"$work/stdout.log" 2>&1 &
app_pid=$!
for _ in $(seq 1 200); do grep -q '^ready$' "$work/stdout.log" && break; sleep 0.1; done
grep -q '^ready$' "$work/stdout.log" || fail "the strips did not appear"
import -window root "$work/strips.png" || fail "no screenshot"
[ -n "${VELEAN13_SCREENSHOTS:-}" ] && cp "$work/strips.png" "$VELEAN13_SCREENSHOTS/"

pixel() { convert "$work/strips.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
blue="0,0,255"
expect() {  # $1 x, $2 y, $3 "blue" or "not", $4 what
  local got; got=$(pixel "$1" "$2")
  if [ "$3" = blue ]; then [ "$got" = "$blue" ] || fail "$4: $got at $1,$2, not blue"
  else [ "$got" != "$blue" ] || fail "$4: blue at $1,$2"; fi
}
checked=0
while read -r style mx my ux uy; do
  case $style in
    0) expect "$mx" $((my + 30)) blue "thin mark"; expect $((mx - 1)) $((my + 30)) not "thin mark, outside"
       expect $((mx + 1)) $((my + 30)) not "thin mark, inside" ;;
    1) expect "$mx" $((my + 30)) blue "thick mark"; expect $((mx - 1)) $((my + 30)) blue "thick mark, second pixel"
       expect $((mx + 1)) $((my + 30)) not "thick mark, inside" ;;
    2) expect $((mx - 4)) $((my + 30)) blue "background mark"; expect $((mx + 2)) $((my + 30)) not "background mark, page" ;;
  esac
  # The unmarked neighbour shows no mark in any style.
  for dx in -4 -1 0; do expect $((ux + dx)) $((uy + 30)) not "style $style, unmarked page"; done
  checked=$((checked + 1))
done < <(grep -E "^([0-9-]+ ){4}[0-9-]+$" "$work/stdout.log")
[ "$checked" = 3 ] || fail "$checked strips reported, not 3"
echo "ok"
