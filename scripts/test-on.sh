#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test suite inside another Debian release, as a player's machine of that release would:
#   scripts/test-on.sh RELEASE [--fresh]       (for example trixie, sid)
# The first run makes a minimal root of that release from the Debian mirror this machine's apt
# uses and keeps it in $LUMIVEX_ROOTS (default /var/tmp/lumivex-roots); --fresh makes it anew.
# Each run clones the committed tree into the root and runs ./test.sh there; its exit status is
# this command's. Needs root (it asks sudo when not run as root).
set -euo pipefail
release=${1:?usage: scripts/test-on.sh RELEASE [--fresh]}
fresh=${2:-}
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "test-on.sh: run it as root (sudo is not installed)" >&2; exit 1; }
    exec sudo --preserve-env=CI,LUMIVEX_ROOTS,LUMIVEX_MIRROR "$0" "$@"
fi
roots=$(realpath -m "${LUMIVEX_ROOTS:-/var/tmp/lumivex-roots}")
root=$roots/$release
mkdir -p "$roots"
exec 9>"$roots/$release.lock"
flock -n 9 || { echo "test-on.sh: another run is using $root" >&2; exit 1; }

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
    rm -rf "$root.new"
    debootstrap --variant=minbase --include=git,ca-certificates "$release" "$root.new" "$url" \
        >"$roots/$release.debootstrap.log" ||
        { tail -n 20 "$root.new/debootstrap/debootstrap.log" >&2; exit 1; }
    # A snapshot of unstable may be older than its Release file allows.
    echo 'Acquire::Check-Valid-Until "false";' >"$root.new/etc/apt/apt.conf.d/99lumivex"
    mv "$root.new" "$root"
}

[ "$fresh" = --fresh ] && rm -rf "$root"
[ -d "$root" ] || make_root
cp /etc/resolv.conf "$root/etc/resolv.conf"

cleanup() {
    # Whatever the tests left running inside holds the mounts.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null
    done
    for m in dev sys proc; do
        mountpoint -q "$root/$m" && { umount -R "$root/$m" 2>/dev/null || umount -lR "$root/$m"; }
    done
    true
}
trap cleanup EXIT
trap 'exit 130' INT TERM
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"

rm -rf "$root/work/lumivex" && mkdir -p "$root/work"
git clone -q "$repo" "$root/work/lumivex"
echo "test-on.sh: $release at $(git -C "$repo" rev-parse --short HEAD), ./test.sh" >&2
# In the background, so that a signal ends the wait at once: the trap then stops everything
# running inside the root and unmounts.
set +e
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" ${CI:+CI="$CI"} \
    bash -c 'cd /work/lumivex && ./test.sh' &
wait $!
status=$?
echo "test-on.sh: $release: ./test.sh ended with status $status" >&2
exit $status
