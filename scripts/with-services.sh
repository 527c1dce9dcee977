#!/usr/bin/env bash
# Runs a command with the services the tests use: an X server (Xvfb :99) for the
# end-to-end tests and the CUPS scheduler with a PDF queue as the default printer.
# Services that this script started are stopped again at the end.
set -u
started_x=""
started_cups=""

if ! xdpyinfo -display :99 >/dev/null 2>&1; then
  Xvfb :99 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  started_x=$!
  for _ in $(seq 1 50); do xdpyinfo -display :99 >/dev/null 2>&1 && break; sleep 0.1; done
fi
export VELEAN13_DISPLAY=:99

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
