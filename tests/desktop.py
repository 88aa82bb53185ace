#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game played with the keyboard alone, heard as a screen reader hears it (AT-SPI); its
# window then matched to the menu entry by its X11 class and, under a headless weston, by its
# Wayland app id:
#   tests/session.sh tests/desktop.py LUMIVEX      (77: skipped, something it needs is missing)
import os, re, shutil, subprocess, sys, time


def check(ok, what, status=1):
    ok or sys.exit(print("SKIP:" if status == 77 else "FAIL:", what, heard) or status)


lumivex, heard = sys.argv[1], {}
for tool in ["xdotool", "xprop", "weston", "/usr/libexec/at-spi-bus-launcher",
             "/usr/libexec/at-spi2-registryd"]:
    shutil.which(tool) or check(0, f"{tool} is missing (scripts/setup.sh installs it)", 77)
os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError) as error:
    check(0, f"no AT-SPI client ({error}): scripts/setup.sh installs gir1.2-atspi-2.0", 77)


def until(found, seconds=10):  # serves AT-SPI while it waits, 20 looks a second
    for _ in range(seconds * 20):
        while GLib.MainContext.default().iteration(False):
            pass
        if result := found():
            return result
        time.sleep(0.05)


def tree(node):
    yield node
    for i in range(node.get_child_count()):
        yield from tree(node.get_child_at_index(i))


has = lambda node, state: node.get_state_set().contains(state)
text = lambda node: Atspi.Text.get_text(node, 0, -1)
keys = lambda *names: subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)


def on(name, state=Atspi.StateType.SHOWING):  # the control of that name in that state
    return lambda: next((n for n in tree(app) if n.get_name() == name and has(n, state)), None)


def hear(e):  # captions inserted at 0, by label (a counter's name stays), and labels' new names
    if game.poll() is None and e.source.get_role() == Atspi.Role.LABEL and e.detail1 == 0:
        named = e.type.endswith("name")
        heard.setdefault("named" if named else e.source.get_name(), []).append(
            e.source.get_name() if named else e.any_data)


listener = Atspi.EventListener.new(hear)
[listener.register(f"object:{kind}") for kind in ("text-changed:insert", "property-change")]
game = subprocess.Popen([lumivex])
desktop = Atspi.get_desktop(0)
app = until(lambda: next((a for a in map(desktop.get_child_at_index, range(
    desktop.get_child_count())) if a and a.get_name() == "lumivex"), None))
check(app and until(lambda: any(has(n, Atspi.StateType.FOCUSED) for n in tree(app))),
      "the intro window takes no focus")
keys("Tab")  # from the credits to the button
check(until(on("Your bit motion start - 당신의 비트 모션이 시작됩니다.", Atspi.StateType.FOCUSED)),
      "Tab does not reach the intro's button")
keys("Return")
check(until(on("Typed word", Atspi.StateType.FOCUSED)), "Enter on the intro's button: no game")
counter = {name: next(n for n in tree(app) if n.get_name() == name and text(n).isdigit())
           for name in ("Score", "Lives")}
# Fast, English, then Start: each group one stop, at its selected option.
keys(*"Tab Tab Tab Up Tab Tab Down shift+Tab shift+Tab shift+Tab shift+Tab Return".split())
check(until(lambda: text(counter["Lives"]) == "10"), "Enter on Start: no game")
words = [n for n in tree(app) if n.get_role() == Atspi.Role.LABEL and has(
    n, Atspi.StateType.SHOWING) and re.fullmatch("[a-z]+", n.get_name())]
top = min(words, key=lambda w: Atspi.Component.get_extents(w, Atspi.CoordType.SCREEN).y)
check(len(words) == 6 and Atspi.Text.get_text(top, 1, 3) == top.get_name()[1:3], "no 6 words")
subprocess.run(["xdotool", "type", "--delay", "30", top.get_name()], check=True)
keys("Return")
check(until(lambda: heard.get("Score") == ["1"] and text(counter["Score"]) == "1" and any(
    re.fullmatch("[a-z]+", n) for n in heard.get("named", []))), "a hit is not heard once")
check(until(lambda: len(heard.get("Lives", [])) > 1, 30), "no miss heard")
lives = [int(n) for n in heard["Lives"]]  # two misses in one tick are heard once
check(lives[0] == 10 and all(a > b for a, b in zip(lives, lives[1:])) and text(
    counter["Lives"]) == heard["Lives"][-1], "each tick's lives lost are not heard once")
wm = subprocess.check_output(["xprop", "-name", "Lumivex", "WM_CLASS"], text=True)
entry = re.search("StartupWMClass=(.*)", open("app/desktop/org.lumivex.Lumivex.desktop.in").read())
check(wm.endswith(f', "{entry[1]}"\n'), f"X11 class {wm} is not the menu entry's {entry[1]}")
keys(*"Tab Tab Tab Return".split())  # Start is off while the game runs: on to Exit
check(game.wait(10) == 0, "Enter on Exit does not end the game")

# Wayland: the app id, from the protocol as the program speaks it, names the menu entry.
weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=lumivex",
                           "--idle-time=0"], stderr=subprocess.DEVNULL)
until(lambda: os.path.exists(os.environ["XDG_RUNTIME_DIR"] + "/lumivex"))
with open(os.environ["HOME"] + "/wayland.log", "w+") as log:
    game = subprocess.Popen([lumivex], stderr=log, env=dict(
        os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY="lumivex", WAYLAND_DEBUG="1"))
    app_id = until(lambda: re.search(r'set_app_id\("([^"]*)"\)', open(log.name).read()))
    game.kill(), weston.kill()
check(app_id and app_id[1] == "org.lumivex.Lumivex", f"Wayland app id {app_id and app_id[1]}")
print("PASS")
