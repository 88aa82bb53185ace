#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the package, installs it with apt, starts it by its command and its menu entry, purges
# it and looks for what is left; what apt installed for it is purged, pass or fail. 77: skipped.
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
skip() { echo "SKIP: $*" && exit 77; }
fail() { echo "FAIL: $*"; tail -n 20 "$work/log" 2>/dev/null; exit 1; }
[ "$(id -u)" -eq 0 ] && [ -z "${DEB_RULES_REQUIRES_ROOT:-}" ] || skip "needs root, outside a package build"
for t in dpkg-buildpackage lintian Xvfb xdotool appstreamcli; do
    command -v $t >/dev/null || skip "$t is not installed (scripts/setup.sh installs it)"; done
dpkg-query -W -f='${Status}' lumivex 2>/dev/null | grep -qv not-installed && skip "lumivex is installed"
git -C "$src" rev-parse --git-dir >/dev/null 2>&1 || skip "not a git checkout"

# What apt installed for the package, as its history records the command: nothing else.
work=$(mktemp -d /tmp/lumivex-package.XXXXXX)
history=/var/log/apt/history.log && from=$(($(cat $history 2>/dev/null | wc -l) + 1))
recorded() { tail -n +$from $history | awk -v deb="$work/" '/^Commandline:/ { ours = index($0, deb) }
    ours && sub(/^Install: /, "")' | grep -oE '[^ ,]+:[^ ,]+ \(' | cut -d: -f1; }
cleanup() { # purges the package and whatever apt brought in for it
    kill "${pids[@]}" 2>/dev/null; wait
    recorded | xargs -r apt-get purge -y -q >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/src" && git -C "$src" ls-files -z | (cd "$src" && xargs -0 cp --parents -t "$work/src")
# One core, so that the tests ctest runs beside this one keep theirs.
(cd "$work/src" && DEB_BUILD_OPTIONS="nocheck parallel=1" nice dpkg-buildpackage -us -uc -b) \
    >"$work/log" 2>&1 || fail "dpkg-buildpackage"
arch=$(dpkg --print-architecture)
lintian --pedantic -I -E "$work"/lumivex_*_"$arch".changes >"$work/log" 2>/dev/null && # as root, it
    ! [ -s "$work/log" ] || fail "lintian has something to say"       # says so on standard error
apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 \
    "$work"/lumivex_*_"$arch".deb >"$work/log" 2>&1 || fail "apt-get install"
dpkg -L lumivex | grep -vx /. >"$work/files"

mkfifo "$work/display"
Xvfb -displayfd 3 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 & pids+=($!)
read -r -t 10 display <"$work/display" || fail "Xvfb did not start"
export DISPLAY=:$display && unset QT_QPA_PLATFORM
starts() { # WINDOW FOLDER COMMAND...: started there with a player's PATH, it maps WINDOW
    (cd "$2" && shift 2 && PATH=/usr/bin:/bin:/usr/games exec "$@") >"$work/log" 2>&1 & pids+=($!)
    timeout 30 xdotool search --sync --all --pid $! --name "^$1\$" >/dev/null ||
        fail "started in $2, '${*:3}' opened no window '$1'"
}
intro='머 릿 말 '
starts "$intro" / lumivex
starts "$intro" /usr/share/lumivex/words lumivex --words english.txt # named where it is started
entry=/usr/share/applications/org.lumivex.Lumivex.desktop
starts "$intro" "$(sed -n 's/^Path=//p' $entry)" $(sed -n '/^Exec=/{s///p;q}' $entry)
# The menu entry's action, wherever it is started; the records as a spreadsheet reads them.
starts 'Lumivex — Records' / $(sed -n '/^\[Desktop Action records\]/,$ s/^Exec=//p' $entry)
[ "$(PATH=/usr/bin:/bin:/usr/games lumivex --export-records | head -c 10)" = played_at, ] ||
    fail "lumivex --export-records wrote no CSV"
# By name: no home page yet; the id menu and Wayland share; <developer>, new in AppStream 1.0.
allowed='url-homepage-missing|cid-contains-uppercase-letter org\.lumivex\.Lumivex|unknown-tag developer'
appstreamcli validate --pedantic --no-net /usr/share/metainfo/org.lumivex.Lumivex.metainfo.xml >"$work/log"
grep -q 'Validation \(was successful\|failed\)' "$work/log" && ! grep -E '^[EWIP]: ' "$work/log" |
    grep -vqE "^[EWIP]: [^ ]+ ($allowed)\$" || fail "appstreamcli has more to say of the installed metainfo"

kill "${pids[@]}" && wait
apt-get purge -y -q lumivex >"$work/log" 2>&1 || fail "apt-get purge"
while read -r path; do # only a folder that another package owns may stay
    [ -e "$path" ] && ! { [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1; } && fail "$path remains"
done <"$work/files"
echo "PASS: built, installed with apt, started by its command and its menu entry, purged"
