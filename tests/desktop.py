#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game played to its end with the keyboard alone, in a desktop of its own (77: skipped,
# something it needs is missing): tests/session.sh tests/desktop.py keyboard LUMIVEX|orca DRIVER
# keyboard: seen as a screen reader sees it (AT-SPI), ended by Enter on Exit; then the window
#   matched to the menu entry by its X11 class and, under a headless weston, its Wayland app id.
# orca: two rounds by ear, as Orca speaks them (its log's SPEECH OUTPUT lines, written line by
#   line into a terminal the test reads, only in blocks into a file; no sound server).
import os, pty, re, shutil, subprocess, sys, threading, time


def check(ok, what, status=1):
    ok or sys.exit(print("SKIP:" if status == 77 else "FAIL:", what, spoken()[-9:]) or status)
heard = lambda ok, what: check(mode == "keyboard" or ok, what)  # by ear only


mode, lumivex, log = sys.argv[1], sys.argv[2], bytearray()
spoken = lambda: re.findall(r"SPEECH OUTPUT: '([^']*)'", log.decode(errors="replace"))
needs = {"keyboard": ["xdotool", "xprop", "weston"], "orca": ["orca", "xdotool"]}[mode]
for tool in needs + ["/usr/libexec/at-spi-bus-launcher", "/usr/libexec/at-spi2-registryd"]:
    shutil.which(tool) or check(0, f"{tool} is missing (scripts/setup.sh installs it)", 77)
try:
    import gi
    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError) as error:
    check(0, f"no AT-SPI client ({error}): scripts/setup.sh installs gir1.2-atspi-2.0", 77)


def until(found, seconds=10):  # serves AT-SPI while it waits, 20 looks a second
    for _ in range(seconds * 20):
        while GLib.MainContext.default().iteration(False): pass
        if result := found(): return result
        time.sleep(0.05)


def said(pattern, since=0):  # the first utterance from `since` on that matches
    return lambda: next((m for line in spoken()[since:] if (m := re.search(pattern, line))), None)


def tree(node):
    yield node
    for i in range(node.get_child_count()):
        yield from tree(node.get_child_at_index(i))


has = lambda node, state: node.get_state_set().contains(state)
text = lambda node: Atspi.Text.get_text(node, 0, -1)
keys = lambda *names: subprocess.run(["xdotool", "key", "--delay", "50", *names], check=True)
on_field = lambda: sorted(n.get_name() for n in tree(app) if n.get_role() == Atspi.Role.LABEL
                          and has(n, Atspi.StateType.SHOWING) and re.fullmatch("[a-z]+", n.get_name()))


def on(name, state=Atspi.StateType.SHOWING):  # the control of that name in that state
    return lambda: next((n for n in tree(app) if n.get_name() == name and has(n, state)), None)


env = dict(os.environ)
if mode == "orca":  # Qt's accessibility turns on because Orca runs
    terminal, debug = pty.openpty()
    threading.Thread(target=lambda: [log.extend(chunk) for chunk in iter(
        lambda: os.read(terminal, 1 << 16), b"")], daemon=True).start()
    orca = subprocess.Popen(["orca", "--replace", "-u", os.environ["HOME"] + "/orca",
                             "--debug-file=" + os.ttyname(debug)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Its first words, in whatever language the session speaks, come once it listens.
    check(until(spoken, 60), "Orca does not start", 77)
else:  # as a screen reader would have it: turned on, and started on its bus
    env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.a11y.Bus.GetAddress"], stdout=subprocess.DEVNULL, check=True)
game = subprocess.Popen([lumivex] + ["by-ear"] * (mode == "orca"), env=env)
desktop = Atspi.get_desktop(0)
app = until(lambda: next((a for a in map(desktop.get_child_at_index, range(
    desktop.get_child_count())) if a and a.get_name() == "lumivex"), None), 60)
check(app and until(on("Credits", Atspi.StateType.FOCUSED)), "the intro's first tab stop is not the credits")
heard(until(said(r"^Credits\b")), "the credits are not heard by their name")
keys("Tab")  # from the credits to the button
check(until(on("Your bit motion start - 당신의 비트 모션이 시작됩니다.", Atspi.StateType.FOCUSED)),
      "Tab does not reach the intro's button")
keys("Return")
check(until(on("Typed word", Atspi.StateType.FOCUSED)), "Enter on the intro's button: no game")
counter = {name: next(n for n in tree(app) if n.get_name() == name and text(n).isdigit())
           for name in ("Score", "Lives")}
# Fast, English, then Start: each group one stop, at its selected option.
after = len(spoken())
keys(*"Tab Tab Tab Up Tab Tab Down shift+Tab shift+Tab shift+Tab shift+Tab Return".split())
check(until(lambda: text(counter["Lives"]) == "10"), "Enter on Start: no game")
words = until(lambda: len(field := on_field()) == 6 and field)
check(words and Atspi.Text.get_text(on(words[0])(), 1, 3) == words[0][1:3],
      f"the field's words are not read as six English labels: {on_field()}")
dealt = mode == "orca" and until(said(r"\b" + ", ".join(["([a-z]+)"] * 6) + ", Lives 10\\b", after))
heard(dealt and sorted(dealt.groups()) == words, "the six words dealt at Start are not heard")
after = len(spoken())
subprocess.run(["xdotool", "type", "--delay", "30", words[0]], check=True)
keys("Return")
check(until(lambda: text(counter["Score"]) == "1"), "the hit does not score")
# By ear the driver deals the word typed again in its place: heard as any word dealt.
heard(until(said(rf"\bScore 1, [^.]*\b{words[0]}\b", after)), "the word dealt again is not heard")
check(until(lambda: int(text(counter["Lives"])) < 10, 30), "no word falls under the floor")
fell = until(said(r"\b([a-z]+) fell, Poor~, Lives \d\b", after))
heard(fell and fell[1] in words, f"the first miss does not name a word that fell: {fell}")
if mode == "orca":  # a second round: Stop, then Start tells the words where they stand
    def press(name):  # as a screen reader's command to press a button does
        node = on(name)()
        Atspi.Action.do_action(node, next(i for i in range(Atspi.Action.get_n_actions(node))
                                          if Atspi.Action.get_action_name(node, i) == "Press"))
    press("Stop")
    check(until(on("Start", Atspi.StateType.ENABLED)), "Stop does not stop the game")
    words, after = on_field(), len(spoken())
    press("Start")
    again = until(said(", ".join(["([a-z]+)"] * 6) + ", Lives 10, Score 0\\b", after))
    heard(again and sorted(again.groups()) == words, "the second round's words are not heard")
    check(until(said("Game Over", after), 60), "the end of the game is not heard")
    sys.exit(print("PASS") or game.kill() or orca.kill())

wm = subprocess.check_output(["xprop", "-name", "Lumivex", "WM_CLASS"], text=True)
entry = re.search("StartupWMClass=(.*)", open("app/desktop/org.lumivex.Lumivex.desktop.in").read())
check(wm.endswith(f', "{entry[1]}"\n'), f"X11 class {wm} is not the menu entry's {entry[1]}")
check(until(on("Game Over!"), 60), "the game does not end in its box")
keys("Return")  # closes the box
# Without a window manager nothing gives the focus back to the window the box came from.
focus = lambda title: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", title,
                                     "windowfocus", "--sync"], check=True)
focus("^Lumivex$")  # Ctrl+R between games: the game just played, newest first, read over AT-SPI
keys("ctrl+r")
table = until(on("Games"))
check(table and Atspi.Table.get_column_description(table, 4) == "Score" and
      Atspi.Table.get_accessible_at(table, 0, 4).get_name() == text(counter["Score"]),
      "Ctrl+R: the records window does not read the game just played")
chart = on("Chart of score and typing speed")()
check(chart and chart.get_description().startswith("English, Fast, built-in words: "),
      "the records' chart is not told in a sentence")
keys("Escape")
focus("^Lumivex$")  # Ctrl+O between games: a path typed into the chooser, read over AT-SPI
keys("ctrl+o")
check(until(on("Open a word list", Atspi.StateType.ACTIVE)), "Ctrl+O opens no chooser")
listed = os.path.abspath("share/lumivex/words/english.txt")
subprocess.run(["xdotool", "type", "--delay", "20", listed], check=True)
keys("Return")
check(until(on("Lumivex — english.txt")) and listed in open(os.environ["XDG_CONFIG_HOME"] +
      "/lumivex/lumivex.conf").read(), "the list chosen is not in the title, or not kept")
focus("^Lumivex — english")
for _ in range(8):  # Tab round to Exit, which Enter presses: the program ends well
    if until(on("Exit", Atspi.StateType.FOCUSED), 1): break
    keys("Tab")
check(on("Exit", Atspi.StateType.FOCUSED)(), "Tab does not reach Exit")
keys("Return")
check(until(lambda: game.poll() == 0), f"Enter on Exit: the program ends with {game.poll()}")

# Wayland: the app id, from the protocol as the program speaks it, names the menu entry.
weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=lumivex",
                           "--idle-time=0"], stderr=subprocess.DEVNULL)
until(lambda: os.path.exists(os.environ["XDG_RUNTIME_DIR"] + "/lumivex"))
with open(os.environ["HOME"] + "/wayland.log", "w+") as protocol:
    game = subprocess.Popen([lumivex], stderr=protocol, env=dict(
        os.environ, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY="lumivex", WAYLAND_DEBUG="1"))
    app_id = until(lambda: re.search(r'set_app_id\("([^"]*)"\)', open(protocol.name).read()))
    game.kill(), weston.kill()
check(app_id and app_id[1] == "org.lumivex.Lumivex", f"Wayland app id {app_id and app_id[1]}")
print("PASS")
