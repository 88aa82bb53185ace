#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then builds the Debian package in a copy of this folder, so that
# the build leaves nothing in the source tree, and puts the .deb in OUT_DIR:
#   scripts/package.sh [OUT_DIR]          (default build/package)
# DEB_BUILD_OPTIONS=nocheck skips the test suite, as with any Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/package}")
scripts/setup.sh
rm -rf "$out/lumivex" "$out"/lumivex_* "$out"/lumivex-dbgsym_* && mkdir -p "$out/lumivex"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$out/lumivex"
else
    tar --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$out/lumivex" -xf -
fi
(cd "$out/lumivex" && dpkg-buildpackage -us -uc -b)
rm -rf "$out/lumivex"
ls "$out"/lumivex_*.deb
