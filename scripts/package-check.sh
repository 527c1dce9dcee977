#!/usr/bin/env bash
# Builds the Debian package (make deb), checks it with lintian, desktop-file-validate and
# appstreamcli, installs it with apt-get, runs the installed program from a folder outside the
# checkout (--version, a PDF through the CUPS PDF queue, its manual page, the page-file type),
# and removes it again. Run as root on a machine that may install packages; CI runs it after
# the tests.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"

step() { echo "== package-check: $*"; }
fail() { echo "package-check: FAIL: $*" >&2; exit 1; }

bash scripts/install-deps.sh
step "make deb"
make deb
debs=(velean13_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one velean13_*.deb, found: ${debs[*]}"
deb="$repo/${debs[0]}"
version=$(dpkg-deb -f "$deb" Version)

work=$(mktemp -d /tmp/velean13-package-XXXXXX)
installed=""
cleanup() {
  if [ -n "$installed" ]; then apt-get remove -y --purge velean13 >/dev/null 2>&1 || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

step "lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"

# The metadata is checked as the package ships it.
dpkg-deb -x "$deb" "$work/root"
step "desktop-file-validate"
desktop-file-validate "$work"/root/usr/share/applications/*.desktop
step "appstreamcli validate"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml

step "apt-get install"
export DEBIAN_FRONTEND=noninteractive
installed=yes
apt-get install -y --no-install-recommends "./${debs[0]}"

# From a folder outside the checkout, so that nothing of the build tree can be found.
cd "$work"
step "velean13 --version"
out=$(/usr/bin/velean13 --version)
echo "$out"
[ "$out" = "VelEAN13 $version" ] || fail "--version printed '$out', the package is $version"

step "velean13 --value 978030640615 --pdf"
bash "$repo/scripts/with-services.sh" /usr/bin/velean13 --value 978030640615 --pdf "$work/isbn.pdf"
pdfinfo "$work/isbn.pdf" | grep -q '^Pages: *1$' || fail "the PDF file does not hold one page"

step "man -w velean13"
man -w velean13
man velean13 | grep -q -- '--save-pages' || fail "the manual page does not read"

step "the page-file type"
if [ -f /usr/share/mime/globs2 ]; then
  grep -q ':application/x-velean13-pages:\*\.vup$' /usr/share/mime/globs2 || fail "the MIME database does not know *.vup"
fi
grep -q 'MimeType=application/x-velean13-pages;' /usr/share/applications/*.desktop || fail "no desktop entry claims page files"

step "apt-get remove"
apt-get remove -y --purge velean13
installed=""
[ ! -e /usr/bin/velean13 ] || fail "/usr/bin/velean13 is still there"
step "done"
