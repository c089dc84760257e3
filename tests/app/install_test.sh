#!/bin/sh
# Installs the build into scratch folders and checks what the desktop needs: the
# desktop entry that takes files, the README, and the refresh of the desktop's
# caches, which runs on a direct install only and whose failure is passed over.
#   install_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d /tmp/varnholt-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
    echo "FAIL: $*"
    status=1
}

# Stand-ins for the cache tools: they note their arguments, and fail when asked to.
mkdir "$work/bin"
for tool in update-desktop-database gtk-update-icon-cache; do
    cat >"$work/bin/$tool" <<TOOL
#!/bin/sh
echo "$tool \$*" >>"$work/calls"
exit \${TOOL_STATUS:-0}
TOOL
    chmod +x "$work/bin/$tool"
done
install_into() {
    PATH="$work/bin:$PATH" cmake --install "$build" "$@" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log"; fail "cmake --install $*"; }
}

# Straight into a prefix: the caches of that prefix are refreshed.
prefix=$work/prefix
install_into --prefix "$prefix"
grep -qx "Exec=varnholt %F" "$prefix/share/applications/varnholt.desktop" ||
    fail "the desktop entry does not hand files to the program"
cmp -s "$(dirname "$0")/../../README.md" "$prefix/share/doc/varnholt/README.md" ||
    fail "README.md not installed under share/doc/varnholt"
cmp -s "$(dirname "$0")/../../LICENSE" "$prefix/share/doc/varnholt/LICENSE" ||
    fail "LICENSE not installed under share/doc/varnholt"
[ -f "$prefix/share/icons/hicolor/64x64/apps/varnholt.png" ] || fail "icon not installed"
printf '%s\n' "update-desktop-database -q $prefix/share/applications" \
    "gtk-update-icon-cache -q -t -f $prefix/share/icons/hicolor" >"$work/expected"
cmp -s "$work/expected" "$work/calls" || {
    cat "$work/calls" 2>/dev/null
    fail "the cache tools were not run on the prefix's folders"
}

# Staged for a package: files land under DESTDIR, no tool runs.
rm -f "$work/calls"
DESTDIR=$work/stage install_into --prefix /usr
[ -f "$work/stage/usr/share/doc/varnholt/README.md" ] || fail "staged README missing"
[ -e "$work/calls" ] && fail "cache tools ran on a staged install: $(cat "$work/calls")"

# Tools that fail do not fail the install.
TOOL_STATUS=1 install_into --prefix "$work/again"
[ -f "$work/again/bin/varnholt" ] || fail "install with failing cache tools incomplete"

[ $status -eq 0 ] && echo "install checks passed"
exit $status
