#!/usr/bin/env bash
# Faults from outside, one table: every command of the program against a raw printer queue,
# label-sized paper, no printer, a stopped scheduler, a full disk, a symbolic link, a named
# pipe and "-". Each row checks the exit status, the error text, that the old file is intact
# and that the run ended within 30 seconds. The printers live in a private CUPS scheduler on
# a socket of this test's own, so the shared scheduler and its queues are never touched.
# Usage: faults.sh PROGRAM
set -uo pipefail
program=$(readlink -f "$1")
work=$(mktemp -d /tmp/velean13-faults-XXXXXX)
cupsd_pid=""
mounted=""
failures=0
cleanup() {
  [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
  if [ -n "${KEEP_WORK:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
cd "$work"
export HOME="$work" XDG_CONFIG_HOME="$work" LC_ALL=C.UTF-8 ASAN_OPTIONS=detect_leaks=0
unset PRINTER LPDEST DISPLAY
V=590123412345

# --- a private scheduler: raw queue Q, label queue L (28 x 89 mm), or none -----------------
have_cups=""
if [ "$(id -u)" = 0 ] && [ -x /usr/sbin/cupsd ]; then
  mkdir -p cups/root cups/spool cups/cache cups/state cups/log
  cat >cups/cups-files.conf <<EOF
ServerRoot $work/cups/root
RequestRoot $work/cups/spool
CacheDir $work/cups/cache
StateDir $work/cups/state
ErrorLog $work/cups/log/error_log
AccessLog $work/cups/log/access_log
PageLog $work/cups/log/page_log
EOF
  cat >cups/cupsd.conf <<EOF
Listen $work/cups/sock
LogLevel warn
Browsing No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
EOF
  /usr/sbin/cupsd -f -c "$work/cups/cupsd.conf" -s "$work/cups/cups-files.conf" >/dev/null 2>&1 &
  cupsd_pid=$!
  export CUPS_SERVER="$work/cups/sock"
  for _ in $(seq 1 100); do lpstat -r 2>/dev/null | grep -q "scheduler is running" && break; sleep 0.1; done
  lpstat -r 2>/dev/null | grep -q "scheduler is running" && have_cups=yes
fi
# Port 9 (discard) on the loopback: a job to it fails in the backend, after the program is done.
queues() {  # none | raw | label: the queues installed and the default one
  lpstat -e 2>/dev/null | while read -r q; do lpadmin -x "$q"; done
  case $1 in
    raw) lpadmin -p Q -v socket://127.0.0.1:9 -E && lpadmin -d Q ;;
    label) lpadmin -p L -v socket://127.0.0.1:9 -E -o media-default=oe_label_1.1x3.5in && lpadmin -d L ;;
  esac
}

# --- files the rows start from ---------------------------------------------------------------
printf '400638133393\n978030640615\n' >list.txt
printf 'a,b\n1,2\n' >table.csv
"$program" --batch list.txt --save-pages pages.vup >/dev/null 2>&1
printf 'old contents\n' >old.txt
mkdir -p real

# run STATUS 'STDERR-REGEX' OUTPUT-TO-CHECK -- ARGS...: one row. OUTPUT-TO-CHECK is a file
# that held old.txt before the run and must still hold it when the run fails ("" for none).
run() {
  local want=$1 pattern=$2 keep=$3; shift 4
  [ -n "$keep" ] && cp old.txt "$keep"
  local start=$SECONDS
  timeout 30 env ${run_env:-} "$program" "$@" >out.bin 2>err.txt </dev/null
  local rc=$?
  local what="[$row] velean13 $*"
  if [ "$rc" = 124 ]; then echo "FAIL $what: did not end within 30 s" >&2; failures=$((failures + 1)); return; fi
  [ "$rc" = "$want" ] || { echo "FAIL $what: status $rc, wanted $want; stderr: $(cat err.txt)" >&2; failures=$((failures + 1)); }
  if [ -n "$pattern" ] && ! grep -Eq -- "$pattern" err.txt; then
    echo "FAIL $what: stderr lacks /$pattern/: $(cat err.txt)" >&2; failures=$((failures + 1))
  fi
  if [ "$want" != 0 ] && [ -n "$keep" ] && ! cmp -s old.txt "$keep"; then
    echo "FAIL $what: the old $keep was not kept" >&2; failures=$((failures + 1))
  fi
  [ $((SECONDS - start)) -le 30 ] || { echo "FAIL $what: took $((SECONDS - start)) s" >&2; failures=$((failures + 1)); }
}
check() {  # check 'DESCRIPTION' COMMAND...: a fact about the output of the last row
  local what=$1; shift
  "$@" || { echo "FAIL [$row] $what" >&2; failures=$((failures + 1)); }
}
is_pdf() { pdfinfo "$1" >/dev/null 2>&1; }
page_mm() { pdfinfo "$1" 2>/dev/null | awk '/Page size/ {printf "%.0fx%.0f", $3 * 25.4 / 72, $5 * 25.4 / 72}'; }
is_bmp() { [ "$(head -c 2 "$1")" = BM ]; }

if [ -n "$have_cups" ]; then
  row="raw queue"
  queues raw
  run 0 '' '' -- --value $V --print --printer Q
  check "the job id on stdout" grep -Eq '^[0-9]+$' out.bin
  run 0 '' keep.pdf -- --value $V --pdf keep.pdf
  check "an A4 PDF" test "$(page_mm keep.pdf)" = 210x297
  run 0 '' keep.pdf -- --value $V --pdf keep.pdf --printer Q
  check "a PDF on the queue's paper" is_pdf keep.pdf
  run 0 '' keep.pdf -- --grid-pdf table.csv keep.pdf
  run 0 '' keep.pdf -- --view pages.vup --pdf keep.pdf

  row="label paper"
  queues label
  run 1 'outside the printable area' keep.pdf -- --value $V --pdf keep.pdf --printer L
  run 1 'outside the printable area' '' -- --value $V --print
  run 1 'outside the printable area' keep.pdf -- --batch list.txt --pdf keep.pdf --printer L
  run 0 '' keep.pdf -- --grid-pdf table.csv keep.pdf
  check "the grid is on A4 whatever the default printer" test "$(page_mm keep.pdf)" = 210x297
  run 0 '' keep.pdf -- --grid-pdf table.csv keep.pdf --paper Letter
  check "--paper Letter" test "$(page_mm keep.pdf)" = 216x279

  row="no printer"
  queues none
  run 1 'There is no default printer currently selected' '' -- --value $V --print
  run 1 'Printer "Q" is not installed' keep.pdf -- --value $V --pdf keep.pdf --printer Q
  run 0 '' keep.pdf -- --value $V --pdf keep.pdf --paper A5
  check "an A5 PDF" test "$(page_mm keep.pdf)" = 148x210
  run_env=LC_ALL=en_US.UTF-8 run 0 '' keep.pdf -- --value $V --pdf keep.pdf
  check "Letter in a US locale" test "$(page_mm keep.pdf)" = 216x279
  run 0 '' keep.pdf -- --batch list.txt --pdf keep.pdf
  run 0 '' keep.pdf -- --view pages.vup --pdf keep.pdf
  run 0 '' keep.pdf -- --grid-pdf table.csv keep.pdf

  row="stopped scheduler"
  kill "$cupsd_pid"; wait "$cupsd_pid" 2>/dev/null; cupsd_pid=""
  run 1 'There is no default printer currently selected' '' -- --value $V --print
  run 0 '' keep.pdf -- --value $V --pdf keep.pdf
fi
# Without any scheduler at all.
row="no scheduler"
run_env=CUPS_SERVER="$work/nothing-here" run 1 'no default printer' '' -- --value $V --print

row="checks first"
run 1 'Cannot create file "missing/x.pdf"' '' -- --batch list.txt --pdf missing/x.pdf
run 1 'Cannot create file "real"' '' -- --value $V --save real

row="full disk"
mkdir -p full
if mount -t tmpfs -o size=64k tmpfs full 2>/dev/null; then
  mounted="$work/full"
  # The old files first, then the disk filled to the last block.
  for f in keep.bmp keep.pdf keep.vup; do cp old.txt "full/$f"; done
  head -c 100000 /dev/zero >full/filler 2>/dev/null
  run 1 'No space left on device' full/keep.bmp -- --value $V --save full/keep.bmp
  run 1 'No space left on device' full/keep.pdf -- --value $V --pdf full/keep.pdf
  run 1 'No space left on device' full/keep.pdf -- --batch list.txt --pdf full/keep.pdf
  run 1 'No space left on device' full/keep.pdf -- --view pages.vup --pdf full/keep.pdf
  run 1 'No space left on device' full/keep.pdf -- --grid-pdf table.csv full/keep.pdf
  run 1 'No space left on device' full/keep.vup -- --batch list.txt --save-pages full/keep.vup
  run 1 'No space left on device' '' -- --batch list.txt --out full/dir
  check "no temporary file is left" test -z "$(ls -A full | grep -v -e '^filler$' -e '^keep\.' -e '^dir$')"
  check "no partial picture in the batch folder" test -z "$(ls -A full/dir 2>/dev/null)"
  umount full && mounted=""
else
  echo "note: tmpfs cannot be mounted here; the full-disk rows are skipped" >&2
fi

row="symlink target"
ln -s real/t.bmp link.bmp
run 0 '' '' -- --value $V --save link.bmp
check "the link is still a link" test -L link.bmp
check "its target got the picture" is_bmp real/t.bmp
ln -s real/t.pdf link.pdf
run 0 '' '' -- --value $V --pdf link.pdf
check "the link is still a link" test -L link.pdf
check "its target got the PDF" is_pdf real/t.pdf

row="FIFO"
mkfifo pipe
# The reader gives up after a while: a program that replaced the pipe never writes into it.
(timeout 40 cat pipe >got.bmp) &
run 0 '' '' -- --value $V --save pipe
wait
check "the pipe is still a pipe" test -p pipe
check "its reader got the picture" is_bmp got.bmp
(timeout 40 cat pipe >got.pdf) &
run 0 '' '' -- --grid-pdf table.csv pipe
wait
check "its reader got the PDF" is_pdf got.pdf

row="devices"
run 0 '' '' -- --value $V --pdf /dev/null
check "/dev/null is still a device" test -c /dev/null
timeout 30 "$program" --value $V --save /dev/stdout 2>err.txt | cat >got2.bmp
check "/dev/stdout on a pipe gets the picture" is_bmp got2.bmp
check "/dev/stdout is still a link" test -L /dev/stdout

row="-"
run 0 '' '' -- --value $V --save -
check "the picture on stdout" is_bmp out.bin
check "the value on stderr" grep -q "^${V}7\$" err.txt
run 0 '' '' -- --value $V --pdf -
check "the PDF on stdout" is_pdf out.bin
timeout 30 "$program" --batch - --out stdin-dir <list.txt >out.bin 2>err.txt
check "--batch - reads standard input" test -f stdin-dir/4006381333931.bmp
timeout 30 "$program" --grid-pdf - - <table.csv >out.bin 2>err.txt
check "--grid-pdf - - reads and writes the standard streams" is_pdf out.bin
timeout 30 "$program" --batch /dev/stdin --out stream-dir <list.txt >out.bin 2>err.txt
check "--batch /dev/stdin reads the list as a stream" grep -q '^2 written' out.bin
timeout 30 "$program" --batch <(cat list.txt) --out stream-dir >out.bin 2>err.txt
check "--batch <(...) reads the list as a stream" grep -q '^2 written' out.bin

if [ "$failures" -gt 0 ]; then echo "$failures fault checks failed" >&2; exit 1; fi
echo "all fault rows passed"
