#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/test-on.sh after a run killed with SIGKILL left its mounts and its process in the root
# of a made-up release (just enough to chroot into), with a folder of ours bound there twice, one
# mount inside the other: no run may stack mounts or delete what was bound there. As root (77:
# skipped otherwise): tests/test_on.sh
# shellcheck disable=SC2015,SC2016  # (A && B || fail; the stubs are written as they are)
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "SKIP: mounting and chroot need root"; exit 77; }
src=$(cd "$(dirname "$0")/.." && pwd)
# A space in the path, which findmnt writes as \x20.
scratch=$(mktemp -d "/var/tmp/lumivex test_on.XXXXXX")
export LUMIVEX_ROOTS=$scratch/roots
rel=lumivex-nowhere root=$scratch/roots/lumivex-nowhere ton=$scratch/repo/scripts/test-on.sh
fail() { echo "FAIL: $*"; tail -n 5 "$scratch"/*.log; exit 1; }

under() { # mount points at or under $1, the deepest first
    findmnt -rn -o TARGET | while IFS= read -r t; do printf -v t '%b' "$t"
        case $t in "$1" | "$1"/*) echo "$t" ;; esac; done | LC_ALL=C sort -r
}
inside() { # processes chrooted under $scratch
    find /proc -mindepth 2 -maxdepth 2 -path '/proc/[0-9]*/root' -printf '%h %l\n' 2>/dev/null |
        while IFS= read -r l; do case ${l#* } in "$scratch"/*) echo "${l%% *}" ;; esac; done
}
# Whatever the script under test did, nothing is removed here while anything is mounted in it.
cleanup() {
    set +e
    mapfile -t pids < <(inside) && [ ${#pids[@]} -eq 0 ] || kill -9 "${pids[@]#/proc/}"
    under "$scratch" | while IFS= read -r m; do umount "$m" || umount -l "$m"; done
    [ -z "$(under "$scratch")" ] || { echo "FAIL: $scratch keeps mounts; left as it is"; exit 1; }
    rm -rf --one-file-system "$scratch"
}
trap cleanup EXIT

mkdir -p "$scratch/repo/scripts" "$scratch/keep/inner" "$scratch/other"
echo kept | tee "$scratch/keep/file" >"$scratch/other/file"
# The script clones the repository it lies in.
(cd "$scratch/repo" && cp "$src/scripts/test-on.sh" scripts/ && git init -q
    printf '#!/bin/bash\n[ "${CI-}" = lumivex ] && exit 3\nexit 4\n' >test.sh && chmod +x test.sh
    git add scripts test.sh && git -c user.name=t -c user.email=t@localhost commit -qm t)
fake_root() {
    mkdir -p "$root"/{proc,sys,dev,etc,mnt/keep,usr/bin} && ln -s usr/bin "$root/bin"
    for b in env bash sleep; do
        cp "$(command -v $b)" "$root/usr/bin/"
        ldd "$(command -v $b)" | grep -o '/[^ ]*' | xargs -I{} cp --parents -L {} "$root"
    done
    # What the root has mounted, as apt-get sees it; then it hangs or fails if asked to.
    printf '%s\n' '#!/bin/bash' 'cd /proc && echo "$(</proc/self/mounts)" >/mounts && : >/started' \
        '[ "$1" != update ] || [ ! -e /apt-fails ] || exit 100' \
        '[ "$1" != update ] || [ ! -e /apt-hangs ] || exec sleep 300 </dev/null' \
        >"$root/usr/bin/apt-get" && chmod +x "$root/usr/bin/apt-get"
}
bind_ours() { mount --bind "$scratch/keep" "$root/mnt/keep" &&
    mount --bind "$scratch/other" "$root/mnt/keep/inner"; }
intact() {
    [ -z "$(under "$scratch")" ] || fail "$1: $(under "$scratch" | tail -n 1) is still mounted"
    [ -z "$(inside)" ] || fail "$1: something still runs inside the root"
    [ -f "$scratch/keep/file" ] && [ -f "$scratch/other/file" ] || fail "$1: bound files deleted"
    [ -c /dev/null ] && [ -d /sys/kernel ] || fail "$1: the host's /dev or /sys lost files"
    ! grep -s lazily "$scratch"/*.log || fail "$1: with nothing running, a mount was busy"
}
# A run on the made-up release, which must end with status $2 and a last line holding $3.
expect() {
    local st=0 && "$ton" $rel "${@:4}" >"$scratch/$1.log" 2>&1 </dev/null || st=$?
    [ $st -eq "$2" ] && tail -n 1 "$scratch/$1.log" | grep -qF -- "$3" || fail "$1: ended with $st"
}
once() { [ "$(grep -c ' /proc proc ' "$root/mounts")" -eq 1 ] || fail "$1: /proc mounted twice"; }

# A run killed while apt-get runs inside; then --fresh, which cannot make this release.
fake_root && touch "$root/apt-hangs"
"$ton" $rel >"$scratch/killed.log" 2>&1 </dev/null & killed=$!
for _ in $(seq 600); do [ -e "$root/started" ] && break; sleep 0.1; done
kill -9 $killed 2>/dev/null || true; wait $killed 2>/dev/null || true
[ -e "$root/started" ] && mountpoint -q "$root/dev" && [ -n "$(inside)" ] ||
    fail "the killed run never reached apt-get, or left nothing behind"
bind_ours && expect fresh 1 "does not know '$rel'" --fresh
[ ! -e "$root" ] && intact fresh || fail "fresh: the root is still there"

# A kept root left dirty, whose upgrade fails: one line, and nothing stacked or left mounted.
fake_root && bind_ours && mount -t proc proc "$root/proc" && touch "$root/apt-fails"
expect kept 1 "apt-get update failed"
intact kept && once kept && [ -x "$root/usr/bin/bash" ] || fail "kept: the root was removed"
[ "$(wc -l <"$scratch/kept.log")" -eq 3 ] || fail "kept: not 2 lines of progress and 1 of failure"

# The suite's status is the script's, with CI passed in.
rm "$root/apt-fails" && bind_ours && CI=lumivex expect suite 3 "ended with status 3"
intact suite && once suite
# A mount that fails stops the run, and what was mounted before it goes.
rmdir "$root/sys" && bind_ours && expect mount 1 "cannot mount $root/sys:" && intact mount
echo "PASS"
