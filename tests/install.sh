#!/usr/bin/env bash
# Installs a build into a temporary prefix, checks what a desktop needs of it, and starts the
# installed program through its menu entry, from a folder without the icon:
#   tests/install.sh BUILD_DIR
set -uo pipefail
build=$1
id=org.lumivex.Lumivex
prefix=$(mktemp -d /tmp/lumivex-install.XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
    fail "cmake --install: $(tail -n 3 "$prefix/install.log")"
for file in bin/lumivex libexec/lumivex share/lumivex/NoviIcon.ico \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/48x48/apps/$id.png; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/bin/lumivex" ] || fail "bin/lumivex cannot be run"

# A PNG's header holds its width and height as the two big-endian words after "IHDR".
size=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/48x48/apps/$id.png" | tr -s ' ')
[ "$size" = " 0 0 0 48 0 0 0 48" ] || fail "the theme icon is not 48x48:$size"

appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$prefix/appstream.log" 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(cat "$prefix/appstream.log")"
desktop-file-validate "$prefix/share/applications/$id.desktop" ||
    fail "desktop-file-validate rejects the menu entry"

entry() { sed -n "s/^$1=//p" "$prefix/share/applications/$id.desktop"; }
[ "$(entry Icon)" = "$id" ] || fail "the menu entry names another icon: $(entry Icon)"
[ -f "$(entry Path)/NoviIcon.ico" ] || fail "the menu entry starts in $(entry Path), without the icon"

# Started as a menu would, but from / so that only the launcher can find the icon. Past the
# icon the program has nothing left that can fail at start, so one second tells.
(cd / && QT_QPA_PLATFORM=offscreen exec $(entry Exec)) >"$prefix/out.log" 2>&1 &
pid=$!
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the installed program ended at start: $(cat "$prefix/out.log")"
! grep -q '^lumivex: ' "$prefix/out.log" || fail "the installed program reported $(cat "$prefix/out.log")"
echo "PASS: installed into a temporary prefix and started from its menu entry"
