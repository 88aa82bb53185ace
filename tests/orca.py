#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The real game played by ear, from the keyboard, with Orca running: what the player hears is
# what Orca's debug log says it spoke (no sound: the session has no sound server):
#   tests/session.sh tests/orca.py LUMIVEX      (77: skipped, Orca is missing or cannot start)
import os, pty, re, shutil, subprocess, sys, threading, time, tty

lumivex, home, log = sys.argv[1], os.environ["HOME"], bytearray()


def check(ok, what, status=1):
    ok or sys.exit(print("SKIP:" if status == 77 else "FAIL:", what, heard()[-12:]) or status)


def heard():  # every utterance so far
    return re.findall(r"SPEECH OUTPUT: '([^']*)'", log.decode(errors="replace"))


def listen(terminal):  # Orca writes its log to a terminal line by line, to a file in blocks
    while chunk := os.read(terminal, 1 << 16):
        log.extend(chunk)


def until(pattern, seconds=20, since=0):  # the first utterance from `since` on that matches
    for _ in range(seconds * 10):
        if found := next((m for line in heard()[since:] if (m := re.search(pattern, line))), 0):
            return found
        time.sleep(0.1)


keys = lambda *names: subprocess.run(["xdotool", "key", "--delay", "100", *names], check=True)
for tool in ["orca", "xdotool"]:
    shutil.which(tool) or check(0, f"no {tool} (scripts/setup.sh installs it)", 77)
terminal, debug = pty.openpty()
tty.setraw(debug)
threading.Thread(target=listen, args=[terminal], daemon=True).start()
orca = subprocess.Popen(["orca", "-u", f"{home}/orca", f"--debug-file={os.ttyname(debug)}"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
check(until("Screen reader on", 60), "Orca did not start", 77)
game = subprocess.Popen([lumivex])  # Qt turns its accessibility on because Orca runs
check(until(r"^Credits\b"), "the intro's first tab stop is not named")
keys("Tab", "Return")
check(until(r"^Lumivex frame"), "Enter on the intro's button: no game window")
# Fast, English, then Start: each group one stop, at its selected option.
keys(*"Tab Tab Tab Up Tab Tab Down shift+Tab shift+Tab shift+Tab shift+Tab Return".split())
dealt = until(r"\b" + ", ".join(["([a-z]+)"] * 6) + ", Lives 10\\b")
check(dealt, "the six words dealt at Start are not heard")
after = len(heard())
subprocess.run(["xdotool", "type", "--delay", "50", dealt[1]], check=True)
keys("Return")
check(until(r"\bScore 1\b", since=after), f"typing the heard word {dealt[1]} scores nothing heard")
check(until(r"Poor~, Lives [89]\b", 30, after), "the first miss is not heard with the lives left")
check(until("Game Over", 60, after), "the end of the game is not heard")
game.kill(), orca.kill()
print("PASS")
