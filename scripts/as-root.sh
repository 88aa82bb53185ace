# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that install Debian packages: `as_root_or_say "COMMAND"` sets as_root
# to what runs a command as root (nothing as root, sudo otherwise), or, where sudo is missing,
# says in one line what to run as root and ends.
as_root_or_say() {
    as_root=()
    [ "$(id -u)" -eq 0 ] && return
    command -v sudo >/dev/null || { echo "$(basename "$0"): as root, in $PWD, run: $1" >&2; exit 1; }
    as_root=(sudo)
}
