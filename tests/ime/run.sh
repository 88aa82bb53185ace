#!/usr/bin/env bash
# Types 컴퓨터 on the 2-set layout through a real Korean input method into the game, as a
# player would, and ends it once with Space and once with Enter:
#   tests/ime/run.sh IME_DRIVER ibus|fcitx5
# Starts its own X server, D-Bus session and input method in a private home, and runs in the
# folder that holds NoviIcon.ico. Exit status 77 means skipped: something it needs cannot start.
set -uo pipefail

driver=$1
stack=$2
skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    [ -f "$work/status" ] && sed 's/^/  status: /' "$work/status"
    for log in "$work"/*.log; do
        [ -s "$log" ] && tail -n 15 "$log" | sed "s|^|  $(basename "$log"): |"
    done
    exit 1
}

case $stack in
ibus) needs=(ibus-daemon ibus) engine=/usr/libexec/ibus-engine-hangul ;;
fcitx5) needs=(fcitx5 dbus-send) engine=/usr/lib/x86_64-linux-gnu/fcitx5/hangul.so ;;
*) echo "usage: $0 IME_DRIVER ibus|fcitx5" >&2 && exit 2 ;;
esac
for tool in Xvfb dbus-run-session xdotool "${needs[@]}"; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/setup.sh installs it)"
done
[ -e "$engine" ] || skip "the $stack Hangul engine is not installed ($engine)"
[ -x "$driver" ] || fail "no driver at $driver"
[ -f NoviIcon.ico ] || fail "run me in the folder that holds NoviIcon.ico"

# Inside the private D-Bus session started below.
if [ "${IME_TEST_INSIDE:-}" != 1 ]; then
    work=$(mktemp -d /tmp/lumivex-ime.XXXXXX)
    trap 'rm -rf "$work"' EXIT
    export IME_TEST_INSIDE=1 IME_TEST_WORK=$work
    dbus-run-session -- "$0" "$@" 2>"$work/dbus.log"
    status=$?
    [ $status -eq 0 ] || [ $status -eq 77 ] || { [ -s "$work/dbus.log" ] && tail -n 5 "$work/dbus.log"; }
    exit $status
fi

work=$IME_TEST_WORK
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
# A settings file of our own: ibus-hangul reads its layout and start mode through GSettings.
export GSETTINGS_BACKEND=keyfile
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb does not start: $(tail -n 1 "$work/xvfb.log")"
export DISPLAY=:$(cat "$work/display")

# Waits up to 10 s for the driver's status to match every pattern given.
await() {
    local deadline=$((SECONDS + 10)) pattern ok
    while ((SECONDS < deadline)); do
        ok=1
        for pattern in "$@"; do
            grep -qxF -- "$pattern" "$work/status" 2>/dev/null || ok=0
        done
        ((ok)) && return 0
        sleep 0.1
    done
    return 1
}
centre() { awk -v key="$1" '$1 == key { print $2, $3 }' "$work/status"; }

start_ibus() {
    gsettings set org.freedesktop.ibus.engine.hangul hangul-keyboard 2
    gsettings set org.freedesktop.ibus.engine.hangul initial-input-mode hangul
    gsettings set org.freedesktop.ibus.engine.hangul use-event-forwarding "$1"
    ibus-daemon --replace --panel=disable --emoji-extension=disable >"$work/ime.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        ibus engine hangul >>"$work/ime.log" 2>&1 && [ "$(ibus engine 2>/dev/null)" = hangul ] &&
            return 0
        sleep 0.2
    done
    skip "ibus-daemon does not start with the hangul engine: $(tail -n 1 "$work/ime.log")"
}

start_fcitx5() {
    mkdir -p "$XDG_CONFIG_HOME/fcitx5/conf"
    printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=hangul' '' \
        '[Groups/0/Items/0]' 'Name=keyboard-us' 'Layout=' '' '[Groups/0/Items/1]' 'Name=hangul' \
        'Layout=' '' '[GroupOrder]' '0=Default' >"$XDG_CONFIG_HOME/fcitx5/profile"
    echo 'Keyboard=Dubeolsik' >"$XDG_CONFIG_HOME/fcitx5/conf/hangul.conf"
    # Otherwise every new input context opens with the group's first entry, the plain keyboard.
    printf '%s\n' '[Behavior]' 'ActiveByDefault=True' >"$XDG_CONFIG_HOME/fcitx5/config"
    fcitx5 --disable=all --enable=dbus,dbusfrontend,xcb,keyboard,hangul >"$work/ime.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        # Asked without a name owner, D-Bus would start a second fcitx5 with every add-on.
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null |
            grep -q 'boolean true' && return 0
        sleep 0.2
    done
    skip "fcitx5 does not start: $(tail -n 1 "$work/ime.log")"
}

# One player: through the intro to the game, Start, then 컴퓨터 ended with Space and, behind
# the space that stays in the box, again with Enter.
play() {
    local case=$1 x y
    rm -f "$work/status"
    "$driver" "$work/status" >"$work/driver.log" 2>&1 &
    pids+=($!)
    await "score 0" || fail "$case: the program does not start"
    read -r x y < <(centre intro_button)
    xdotool mousemove "$x" "$y" click 1
    await "intro_button hidden" || fail "$case: the intro's button does not open the game"
    read -r x y < <(centre start_button)
    xdotool mousemove "$x" "$y" click 1
    await "focus txtlumi" "word0 컴퓨터" "score 0" || fail "$case: Start does not give the box the focus"
    xdotool type --delay 60 zjavbxj
    await "box [컴퓨]" || fail "$case: the input method does not compose Hangul"
    xdotool key space
    await "score 1" "box [ ]" || fail "$case: 컴퓨터 and Space do not score, leaving one space"
    # Time for a late commit of the last syllable, which must not land in the box.
    sleep 0.5
    await "score 1" "box [ ]" || fail "$case: something arrived after the Space"
    xdotool type --delay 60 zjavbxj
    await "box [ 컴퓨]" || fail "$case: the next word does not go behind the space"
    xdotool key Return
    await "score 2" "box []" || fail "$case: 컴퓨터 and Enter do not score, emptying the box"
    sleep 0.5
    await "score 2" "box []" || fail "$case: something arrived after the Enter"
    kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null
    unset 'pids[-1]'
    echo "PASS: $case"
}

case $stack in
ibus)
    export QT_IM_MODULE=ibus
    start_ibus true
    play "ibus-hangul, keys forwarded by the engine"
    ibus exit >/dev/null 2>&1
    wait "${pids[-1]}" 2>/dev/null
    unset 'pids[-1]'
    start_ibus false
    play "ibus-hangul, keys handed back to Qt"
    ;;
fcitx5)
    export QT_IM_MODULE=fcitx
    start_fcitx5
    play "fcitx5-hangul"
    ;;
esac
