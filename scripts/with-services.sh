#!/usr/bin/env bash
# Runs a command with the services the tests use: a private X server for the
# end-to-end tests and the CUPS scheduler with a PDF queue as the default printer.
# Services that this script started are stopped again at the end.
set -u
started_x=""
started_cups=""

# A private server on a display number it picks itself, so that no other run's server
# can go away under these tests. -noreset: by default the server resets whenever its last
# client leaves, and refuses connections while it does; a test starting just after the
# readiness probe disconnected would find no display.
display_file=$(mktemp)
exec 9>"$display_file"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
started_x=$!
exec 9>&-
for _ in $(seq 1 200); do [ -s "$display_file" ] && break; sleep 0.1; done
if [ -s "$display_file" ]; then
  export VELEAN13_DISPLAY=":$(head -n1 "$display_file")"
  for _ in $(seq 1 100); do xdpyinfo -display "$VELEAN13_DISPLAY" >/dev/null 2>&1 && break; sleep 0.1; done
else
  echo "with-services: Xvfb did not start" >&2
fi
rm -f "$display_file"

if [ "$(id -u)" -eq 0 ] && [ -x /usr/sbin/cupsd ]; then
  # lpstat -r exits with 0 whether or not the scheduler runs; only its words tell.
  if ! lpstat -r 2>/dev/null | grep -q "scheduler is running"; then
    # In the foreground, so that the scheduler this script started is the one it stops.
    /usr/sbin/cupsd -f >/dev/null 2>&1 &
    started_cups=$!
    for _ in $(seq 1 100); do lpstat -r 2>/dev/null | grep -q "scheduler is running" && break; sleep 0.1; done
    lpstat -r 2>/dev/null | grep -q "scheduler is running" || echo "with-services: the CUPS scheduler did not start" >&2
  fi
  if ! lpstat -p PDF >/dev/null 2>&1; then
    lpadmin -p PDF -v cups-pdf:/ -E -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd
  fi
  lpadmin -d PDF
fi

"$@"
rc=$?

[ -n "$started_x" ] && kill "$started_x" 2>/dev/null
if [ -n "$started_cups" ]; then
  kill "$started_cups" 2>/dev/null
  wait "$started_cups" 2>/dev/null
fi
exit $rc
