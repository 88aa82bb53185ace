#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Lumivex reads NoviIcon.ico from the folder it is started in: start it beside its icon.
# A word list named on the command line is looked for where the player started it.
LUMIVEX_STARTED_IN=$(pwd) && export LUMIVEX_STARTED_IN
prefix=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd) || exit 1
cd "$prefix/share/lumivex" || exit 1
exec "$prefix/libexec/lumivex" "$@"
