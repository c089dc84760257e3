#!/usr/bin/env bash
# Makes the Debian package and checks it: lintian finds no error, the AppStream
# data and the desktop entry are valid, the package holds exactly the expected
# files, its manual pages tell every message of the help, and its converter
# converts the test catalogue byte for byte.
#   scripts/check_package.sh     leaves build/package/package/varnholt_<version>-1_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh dpkg-dev lintian appstream desktop-file-utils

cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)" >/dev/null
(cd build/package && cpack >/dev/null)
deb=$(ls build/package/package/varnholt_*-1_amd64.deb)
echo "package: $deb"

status=0
fail() {
    echo "FAILED: $*" >&2
    status=1
}

# Lintian refuses to run as root unless told that is meant.
lintian_out=$(lintian --allow-root "$deb" 2>&1 || true)
[[ -n $lintian_out ]] && echo "$lintian_out"
grep -q '^E:' <<<"$lintian_out" && fail "lintian reports errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

appstreamcli validate --no-net "$root/usr/share/metainfo/"*.metainfo.xml || fail "AppStream data"
desktop-file-validate "$root/usr/share/applications/varnholt.desktop" || fail "desktop entry"

diff -u packaging/expected-files.txt <(cd "$root" && find . -type f | sed 's#^\./#/#' | sort) ||
    fail "the package's files differ from packaging/expected-files.txt"

python3 - "$root/usr/share/man/man1" help/messages.html <<'PY' || fail "manual pages"
import gzip, sys
sys.path.insert(0, "man")
from make_man_page import HEADING, plain  # the pages' own reading of the help
folder, page = sys.argv[1:3]
titles = [plain(title) for title, _ in HEADING.findall(open(page, encoding="utf-8").read())]
for name in ("varnholt.1.gz", "varnholt-convert.1.gz"):
    text = gzip.open(f"{folder}/{name}", "rt", encoding="utf-8").read()
    text = text.replace("\\-", "-").replace("\\e", "\\").replace("\\&", "")
    missing = [t for t in titles if f'.B "{t}"' not in text]
    if not titles or missing:
        sys.exit(f"{name} lacks: {missing or 'every message'}")
print(f"manual pages: {len(titles)} messages each")
PY

work=$(mktemp -d)
cp tests/data/catalogue.csv "$work/"
"$root/usr/bin/varnholt-convert" "$work/catalogue.csv" >/dev/null
cmp "$work/catalogue.TLE" tests/data/catalogue.tle || fail "the packaged converter's output"
rm -rf "$work"

[[ $status -eq 0 ]] && echo "package checks passed"
exit "$status"
