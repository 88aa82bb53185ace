#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test in a desktop of its own: an X server, a D-Bus session and a home folder that go
# when it ends, with Qt on X11 (77: skipped, the X server or the session is not installed). The
# server never resets, as a desktop's, whose window manager stays connected, does not:
#   tests/session.sh COMMAND...
for tool in xvfb-run dbus-run-session; do
    hash $tool 2>/dev/null || { echo "SKIP: no $tool (scripts/setup.sh has it)"; exit 77; }; done
home=$(mktemp -d) && trap 'rm -rf "$home"' EXIT && mkdir -m 700 "$home/runtime"
env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS HOME="$home" \
    XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s '-screen 0 1280x1024x24 -noreset' -e "$home/xvfb.log" dbus-run-session -- "$@"
status=$? && [ $status -eq 0 ] || [ $status -eq 77 ] || cat "$home/xvfb.log"
exit $status
