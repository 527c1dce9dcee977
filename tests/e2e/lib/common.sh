# Sourced by the end-to-end scripts: a work folder removed at exit (kept when KEEP_WORK is
# set), fail(), an X server (the suite's, or a private one on a display the server picks
# itself), and helpers that start the program and wait for its windows by name.
# Usage: e2e_begin NAME PROGRAM
# With E2E_SCREEN (say 1024x768) the test gets a private X server of that size whatever the
# suite's is, and with E2E_WINDOW_MANAGER (say openbox) that window manager on it.
e2e_begin() {
  program=$(readlink -f "$2")
  work=$(mktemp -d "/tmp/velean13-$1-XXXXXX")
  xvfb_pid=""
  wm_pid=""
  app_pid=""
  trap e2e_cleanup EXIT
  export DISPLAY=${VELEAN13_DISPLAY:-${DISPLAY:-:99}}
  if [ -n "${E2E_SCREEN:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 1 200); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
    for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    xdpyinfo >/dev/null 2>&1 || fail "no X server"
  fi
  unset QT_QPA_PLATFORM
  if [ -n "${E2E_WINDOW_MANAGER:-}" ]; then
    command -v "$E2E_WINDOW_MANAGER" >/dev/null || fail "$E2E_WINDOW_MANAGER is not installed"
    mkdir -p "$work/wm-home"
    HOME="$work/wm-home" "$E2E_WINDOW_MANAGER" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 1 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "$E2E_WINDOW_MANAGER did not start"
  fi
}

e2e_cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${KEEP_WORK:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}

fail() { echo "FAIL: $*" >&2; cat "$work/stdout.log" >&2 2>/dev/null; exit 1; }

# The id of the first window whose name is exactly $1, waiting up to $2 tenths of a second
# (default 100); empty when none appeared.
window_named() {
  local id=""
  for _ in $(seq 1 "${2:-100}"); do
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended early"
    # Only a mapped window: Qt names a window before it is shown, and focusing it then fails.
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Starts the program in the current folder (or the command given, the menu entry's Exec line
# say) and focuses its main window ($win).
start_program() {
  if [ $# -gt 0 ]; then "$@" >"$work/stdout.log" 2>&1 &
  else "$program" >"$work/stdout.log" 2>&1 &
  fi
  app_pid=$!
  win=$(window_named "Velmor EAN13 Barcode Maker" 300)
  [ -n "$win" ] || fail "the main window did not appear"
  sleep 0.5
  focus_window "$win"
  sleep 0.2
}

# Closes the program with Alt+E. A window that has just appeared (the help window) may take
# the focus back after the main window was focused, and Alt+E then lands there: focus and
# press again a few times.
close_program() {
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win" 2>/dev/null || true
    sleep 0.2
    xdotool key alt+e
    for _ in $(seq 1 30); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$app_pid" 2>/dev/null || break
  done
  kill -0 "$app_pid" 2>/dev/null && fail "Alt+E did not close the program"
  app_pid=""
}

# Focuses window $1, trying again while the server refuses (a window still being mapped).
focus_window() {
  for _ in $(seq 1 20); do
    xdotool windowfocus --sync "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  xdotool windowfocus "$1"
}
