#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Types 컴퓨터 on the 2-set layout through a real Korean input method into the game, ending it
# once with Space and once with Enter:
#   tests/session.sh tests/ime.sh DRIVER ibus|fcitx5   (77: skipped, something cannot start)
set -uo pipefail
driver=$1 stack=$2
skip() { echo "SKIP: $*" && exit 77; }
fail() { echo "FAIL: $*" && tail -n 15 "$HOME"/status "$HOME"/*.log && exit 1; }
for tool in xdotool gsettings ibus-daemon fcitx5 dbus-send; do
    command -v "$tool" >/dev/null || skip "no $tool (scripts/setup.sh installs it)"; done
trap 'kill $(jobs -p) 2>/dev/null; wait' EXIT
# ibus-hangul reads its settings through GSettings: from a file of our own.
export GSETTINGS_BACKEND=keyfile && mkdir -p "$XDG_CONFIG_HOME/fcitx5/conf"

# Tries for 10 s: the daemons and the driver take a while.
ready() { for _ in $(seq 50); do "$@" 2>/dev/null && return 0 || sleep 0.2; done && return 1; }
holds() { for line in "$@"; do grep -qxF -- "$line" "$HOME/status" || return 1; done; }
start_ibus() {
    for key in "hangul-keyboard 2" "initial-input-mode hangul" "use-event-forwarding $1"; do
        gsettings set org.freedesktop.ibus.engine.hangul $key; done
    ibus-daemon --replace --panel=disable --emoji-extension=disable >"$HOME/ime.log" 2>&1 &
    ready sh -c 'ibus engine hangul && [ "$(ibus engine)" = hangul ]' ||
        skip "ibus-daemon does not start with the hangul engine: $(tail -n 1 "$HOME/ime.log")"
}
start_fcitx5() {
    printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=hangul' \
        '[Groups/0/Items/0]' 'Name=keyboard-us' '[Groups/0/Items/1]' 'Name=hangul' \
        '[GroupOrder]' '0=Default' >"$XDG_CONFIG_HOME/fcitx5/profile"
    echo 'Keyboard=Dubeolsik' >"$XDG_CONFIG_HOME/fcitx5/conf/hangul.conf"
    # Otherwise every new input context opens with the plain keyboard.
    printf '[Behavior]\nActiveByDefault=True\n' >"$XDG_CONFIG_HOME/fcitx5/config"
    fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,hangul >"$HOME/ime.log" 2>&1 &
    # Asked without a name owner, D-Bus would start a second fcitx5 with every add-on.
    ready sh -c 'dbus-send --session --print-reply --dest=org.freedesktop.DBus \
        /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 |
        grep -q "boolean true"' ||
        skip "fcitx5 does not start: $(tail -n 1 "$HOME/ime.log")"
}

# The driver starts a game; after each key, time for a late syllable that must not land.
play() {
    rm -f "$HOME/status"
    "$driver" ime "$HOME/status" >"$HOME/driver.log" 2>&1 &
    local pid=$!
    ready holds "focus txtlumi" "word0 컴퓨터" "score 0" || fail "$1: the game does not start"
    sleep 1 # the input method takes a new window on in its own time, and nothing tells when
    xdotool type --delay 60 zjavbxj && ready holds "box [컴퓨]" || fail "$1: no Hangul is composed"
    xdotool key space && sleep 0.5
    ready holds "score 1" "box [ ]" || fail "$1: 컴퓨터 and Space do not score, leaving one space"
    xdotool type --delay 60 zjavbxj && xdotool key Return && sleep 0.5
    ready holds "score 2" "box []" || fail "$1: 컴퓨터 and Enter do not score, emptying the box"
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
