#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the package's build dependencies when some are missing, then builds the Debian
# package in a copy of this folder, so that the build leaves nothing in the source tree, and
# puts the .deb in OUT_DIR:
#   scripts/package.sh [OUT_DIR]          (default build/package)
# DEB_BUILD_OPTIONS=nocheck skips the test suite, and the packages only the tests need, as with
# any Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/package}")
profile=()
[[ " ${DEB_BUILD_OPTIONS:-} " == *" nocheck "* ]] && profile=(--build-profiles=nocheck)

# Exactly what debian/control asks for the build, the Debian way, marked as installed
# automatically: apt autoremove takes them away once nothing needs them.
if ! command -v dpkg-checkbuilddeps >/dev/null || ! dpkg-checkbuilddeps ${profile:+-P nocheck} 2>/dev/null; then
    . scripts/as-root.sh
    as_root_or_say "apt-get build-dep ${profile:+-P nocheck }./"
    echo "Installing the build dependencies of debian/control" >&2
    export DEBIAN_FRONTEND=noninteractive
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" apt-get build-dep -y -q --no-install-recommends \
        -o APT::Get::Build-Dep-Automatic=true ${profile:+-P nocheck} ./
fi

rm -rf "$out/lumivex" "$out"/lumivex_* "$out"/lumivex-dbgsym_* && mkdir -p "$out/lumivex"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$out/lumivex"
else
    tar --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$out/lumivex" -xf -
fi
(cd "$out/lumivex" && dpkg-buildpackage -us -uc -b "${profile[@]}")
rm -rf "$out/lumivex"
ls "$out"/lumivex_*.deb
