#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the game needs to build, run, be tested and be packaged, and only
# those that are missing, so that running it again costs a few dpkg queries.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite libgl-dev libfontconfig-dev libxcb1-dev
  fonts-nanum fonts-unfonts-core fonts-woowa-bm fonts-comic-neue fonts-cabinsketch fonts-rampart
  xvfb xauth xdotool x11-utils weston qt6-wayland
  valgrind
  python3 libx11-dev
  dbus-daemon dbus-bin libglib2.0-bin at-spi2-core gir1.2-atspi-2.0 python3-gi orca
  ibus ibus-hangul fcitx5 fcitx5-hangul fcitx5-frontend-qt6
  appstream desktop-file-utils
  build-essential debhelper lintian reuse debootstrap
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
. "$(dirname "$0")/as-root.sh"
as_root_or_say "apt-get install ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
