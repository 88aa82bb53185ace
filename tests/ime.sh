#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Types 컴퓨터 on the 2-set layout through a real Korean input method into the game, ending it
# once with Space and once with Enter, in a private X server, D-Bus session and home:
#   tests/ime.sh DRIVER ibus|fcitx5      (77: skipped, something it needs cannot start)
set -uo pipefail
driver=$1 stack=$2
skip() { echo "SKIP: $*" && exit 77; }
fail() { echo "FAIL: $*" && tail -n 15 "$work"/status "$work"/*.log && exit 1; }
for tool in xvfb-run dbus-run-session xdotool gsettings ibus-daemon fcitx5 dbus-send; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup.sh installs it)"
done
if [ -z "${IME_TEST_WORK:-}" ]; then # again, in an X server and a D-Bus session of its own
    export IME_TEST_WORK=$(mktemp -d /tmp/lumivex-ime.XXXXXX)
    trap 'rm -rf "$IME_TEST_WORK"' EXIT
    xvfb-run -a -s '-screen 0 1280x1024x24' -e "$IME_TEST_WORK/xvfb.log" \
        dbus-run-session -- "$0" "$@" 2>"$IME_TEST_WORK/dbus.log"
    exit $?
fi
work=$IME_TEST_WORK
trap 'kill $(jobs -p) 2>/dev/null; wait' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb
# ibus-hangul reads its settings through GSettings: from a file of our own.
export GSETTINGS_BACKEND=keyfile && unset WAYLAND_DISPLAY
mkdir -p "$XDG_CONFIG_HOME/fcitx5/conf" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# Waits up to 10 s until the status the driver writes holds every line given.
await() {
    for _ in $(seq 100); do
        local ok=1 line
        for line in "$@"; do grep -qxF -- "$line" "$work/status" 2>/dev/null || ok=0; done
        ((ok)) && return 0 || sleep 0.1
    done && return 1
}
# Both keep trying for 10 s: the daemons take a while to come up.
start_ibus() {
    for key in "hangul-keyboard 2" "initial-input-mode hangul" "use-event-forwarding $1"; do
        gsettings set org.freedesktop.ibus.engine.hangul $key; done
    ibus-daemon --replace --panel=disable --emoji-extension=disable >"$work/ime.log" 2>&1 &
    for _ in $(seq 50); do
        ibus engine hangul 2>/dev/null && [ "$(ibus engine)" = hangul ] && return 0 || sleep 0.2
    done
    skip "ibus-daemon does not start with the hangul engine: $(tail -n 1 "$work/ime.log")"
}
start_fcitx5() {
    printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=hangul' \
        '[Groups/0/Items/0]' 'Name=keyboard-us' '[Groups/0/Items/1]' 'Name=hangul' \
        '[GroupOrder]' '0=Default' >"$XDG_CONFIG_HOME/fcitx5/profile"
    echo 'Keyboard=Dubeolsik' >"$XDG_CONFIG_HOME/fcitx5/conf/hangul.conf"
    # Otherwise every new input context opens with the plain keyboard.
    printf '[Behavior]\nActiveByDefault=True\n' >"$XDG_CONFIG_HOME/fcitx5/config"
    fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,hangul >"$work/ime.log" 2>&1 &
    for _ in $(seq 50); do
        # Asked without a name owner, D-Bus would start a second fcitx5 with every add-on.
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null |
            grep -q 'boolean true' && return 0
        sleep 0.2
    done
    skip "fcitx5 does not start: $(tail -n 1 "$work/ime.log")"
}

# The driver starts a game; after each key, time for a late syllable that must not land.
play() {
    rm -f "$work/status"
    "$driver" ime "$work/status" >"$work/driver.log" 2>&1 &
    local pid=$!
    await "focus txtlumi" "word0 컴퓨터" "score 0" || fail "$1: the game does not start"
    sleep 1 # the input method takes a new window on in its own time, and nothing tells when
    xdotool type --delay 60 zjavbxj && await "box [컴퓨]" || fail "$1: no Hangul is composed"
    xdotool key space && sleep 0.5
    await "score 1" "box [ ]" || fail "$1: 컴퓨터 and Space do not score, leaving one space"
    xdotool type --delay 60 zjavbxj && xdotool key Return && sleep 0.5
    await "score 2" "box []" || fail "$1: 컴퓨터 and Enter do not score, emptying the box"
    kill $pid && echo "PASS: $1"
}

case $stack in
ibus)
    export QT_IM_MODULE=ibus
    start_ibus true && play "ibus-hangul, keys forwarded by the engine"
    ibus exit && start_ibus false && play "ibus-hangul, keys handed back to Qt" ;;
fcitx5) export QT_IM_MODULE=fcitx && start_fcitx5 && play "fcitx5-hangul" ;;
*) echo "usage: $0 DRIVER ibus|fcitx5" >&2 && exit 2 ;;
esac
