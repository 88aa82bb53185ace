#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test suite inside another Debian release, as a player's machine of that release would:
#   scripts/test-on.sh RELEASE [--fresh]       (for example trixie, sid)
# The first run makes a minimal root of that release from the Debian mirror this machine's apt
# uses and keeps it in $LUMIVEX_ROOTS (default /var/tmp/lumivex-roots); --fresh makes it anew.
# A kept root is upgraded first. Each run clones the committed tree into the root and runs
# ./test.sh there; its exit status is this command's. Needs root (it asks sudo when not root).
set -euo pipefail
usage="usage: scripts/test-on.sh RELEASE [--fresh]"
release=${1:-}
fresh=${2:-}
[[ $release =~ ^[a-z][a-z0-9.-]*$ && $fresh =~ ^(--fresh)?$ ]] || { echo "$usage" >&2; exit 2; }
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "test-on.sh: run it as root (sudo is not installed)" >&2; exit 1; }
    exec sudo --preserve-env=CI,LUMIVEX_ROOTS,LUMIVEX_MIRROR "$0" "$@"
fi
# Without findmnt nothing would be seen mounted in a root, and rm would go on into it.
command -v findmnt >/dev/null || { echo "test-on.sh: findmnt (util-linux) is missing" >&2; exit 1; }
roots=$(realpath -m "${LUMIVEX_ROOTS:-/var/tmp/lumivex-roots}")
root=$roots/$release
mkdir -p "$roots"
exec 9>"$roots/$release.lock"
flock -n 9 || { echo "test-on.sh: another run is using $root" >&2; exit 1; }

# Mount points at or under $1, the deepest first. findmnt writes a space as \x20, and so on.
mounts_under() {
    local t
    findmnt -rn -o TARGET | while IFS= read -r t; do
        printf -v t '%b' "$t"
        case $t in "$1" | "$1"/*) printf '%s\n' "$t" ;; esac
    done | LC_ALL=C sort -r
}

# Ends whatever runs chrooted in $1: it would keep the mounts busy.
kill_inside() {
    local line pids
    for _ in $(seq 50); do
        pids=()
        while IFS= read -r line; do
            case ${line#* } in "$1" | "$1"/*) pids+=("${line%% *}") ;; esac
        done < <(find /proc -mindepth 2 -maxdepth 2 -path '/proc/[0-9]*/root' -printf '%h %l\n' \
            2>/dev/null)
        [ ${#pids[@]} -gt 0 ] || return 0
        kill -9 "${pids[@]#/proc/}" 2>/dev/null || true
        sleep 0.1
    done
}

# Unmounts everything at or under $1, lazily where a mount is busy. They are all made private
# first: were one still a peer of the host's /sys, unmounting below it would unmount the host's.
unmount_all() {
    local m ms
    mapfile -t ms < <(mounts_under "$1")
    for m in "${ms[@]}"; do mount --make-private "$m" 2>/dev/null || true; done
    for m in "${ms[@]}"; do
        umount "$m" 2>/dev/null && continue
        umount -l "$m" 2>/dev/null && echo "test-on.sh: $m was busy; detached it lazily" >&2
    done
    return 0
}

# Leaves $1 with nothing running and nothing mounted in it, or stops: a root with a mount left
# is neither used (mounts would stack) nor removed (rm would go on into the host's /dev).
settle() {
    local left
    kill_inside "$1"
    mapfile -t left < <(mounts_under "$1")
    [ ${#left[@]} -eq 0 ] && return 0
    echo "test-on.sh: unmounting ${#left[@]} mounts an interrupted run left in $1" >&2
    unmount_all "$1"
    mapfile -t left < <(mounts_under "$1")
    [ ${#left[@]} -eq 0 ] ||
        { echo "test-on.sh: ${left[0]} will not unmount; leaving $1 as it is" >&2; exit 1; }
}

remove() {
    settle "$1"
    rm -rf --one-file-system "$1" || { echo "test-on.sh: could not remove all of $1" >&2; exit 1; }
}

# Runs a command in the root with a clean environment. In the background, so that a signal ends
# the wait at once; without the lock, so that what an interrupted run leaves there cannot hold
# it and keep the next run from cleaning up.
inside() {
    chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" ${CI:+"CI=$CI"} "$@" 9>&- &
    wait $!
}

# Whatever failed, every mount under the roots is tried: the trap never stops half-way.
# shellcheck disable=SC2317  # (called by the trap)
cleanup() {
    set +e
    local r left
    for r in "$root" "$root.new"; do
        kill_inside "$r"
        unmount_all "$r"
        mapfile -t left < <(mounts_under "$r")
        [ ${#left[@]} -eq 0 ] || echo "test-on.sh: ${left[0]} is still mounted" >&2
    done
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The first Debian archive this machine's apt reads from, in either format of its sources.
mirror() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources \
        2>/dev/null | grep -oE '(https?|file)://[^ ]+/debian/?( |$)' | grep -v security | head -n1 |
        tr -d ' '
}

make_root() {
    if ! command -v debootstrap >/dev/null; then
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q && apt-get install -y -q --no-install-recommends debootstrap
    fi
    [ -e "/usr/share/debootstrap/scripts/$release" ] ||
        { echo "test-on.sh: this debootstrap does not know '$release'" >&2; exit 1; }
    local url=${LUMIVEX_MIRROR:-$(mirror)}
    [ -n "$url" ] || { echo "test-on.sh: no Debian mirror in this machine's apt sources" >&2; exit 1; }
    echo "test-on.sh: making a $release root from $url in $root" >&2
    remove "$root.new"
    debootstrap --variant=minbase --include=git,ca-certificates "$release" "$root.new" "$url" \
        >"$roots/$release.debootstrap.log" ||
        { tail -n 20 "$root.new/debootstrap/debootstrap.log" >&2; exit 1; }
    # A snapshot of unstable may be older than its Release file allows.
    echo 'Acquire::Check-Valid-Until "false";' >"$root.new/etc/apt/apt.conf.d/99lumivex"
    mv "$root.new" "$root"
}

# A run ended by SIGKILL had no trap: its mounts and processes are still there.
settle "$root"
settle "$root.new"
if [ "$fresh" = --fresh ]; then remove "$root"; fi
[ -d "$root" ] || make_root
cp --remove-destination /etc/resolv.conf "$root/etc/resolv.conf"

mount_in() {
    local err
    err=$(mount "${@:2}" "$root/$1" 2>&1) ||
        { echo "test-on.sh: cannot mount $root/$1: ${err//$'\n'/ }" >&2; exit 1; }
}
mount_in proc -t proc proc
mount_in sys --rbind --make-rslave /sys
mount_in dev --rbind --make-rslave /dev

echo "test-on.sh: bringing the $release root up to date" >&2
log=$roots/$release.upgrade.log
inside apt-get update -q >"$log" 2>&1 ||
    { echo "test-on.sh: apt-get update failed in the $release root, see $log" >&2; exit 1; }
inside DEBIAN_FRONTEND=noninteractive apt-get full-upgrade -y -q >>"$log" 2>&1 ||
    { echo "test-on.sh: apt-get full-upgrade failed in the $release root, see $log" >&2; exit 1; }

rm -rf --one-file-system "$root/work/lumivex"
mkdir -p "$root/work"
git clone -q "$repo" "$root/work/lumivex"
echo "test-on.sh: $release at $(git -C "$repo" rev-parse --short HEAD), ./test.sh" >&2
status=0
inside bash -c 'cd /work/lumivex && ./test.sh' || status=$?
echo "test-on.sh: $release: ./test.sh ended with status $status" >&2
exit $status
