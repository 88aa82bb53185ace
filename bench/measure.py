#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Lumivex developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures Lumivex beside an empty Qt 6 Widgets window on a private Xvfb.

Usage: measure.py BUILD_DIR   (bench/run.sh builds BUILD_DIR first and calls this)

Environment (defaults in brackets):
  BENCH_RUNS [10]         start-ups, memory and CPU samples per program, the two alternating
  BENCH_CPU_SECONDS [5]   length of each CPU window
  BENCH_ROLL_SECONDS [19] time from exec until the intro's credits have stopped rolling
  BENCH_RSS_SECONDS [10]  time from exec until the memory is read
  BENCH_TICK_SECONDS [60] seconds of play over which the game tick's period is taken
  BENCH_HITS [200]        typed hits over which key-to-screen latency is taken
  BENCH_TYPE_MS [200]     pause between two typed words
  BENCH_CALLGRIND_SECONDS [10]  seconds of play counted in instructions (0: none)
"""

import json
import os
import platform
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
INTRO_TITLE = "머 릿 말 "
GAME_TITLE = "Lumivex"
TWIPS_PER_PIXEL = 15.0


def setting(name, default, kind=float):
    value = os.environ.get(name)
    return kind(value) if value else kind(default)


RUNS = setting("BENCH_RUNS", 10, int)
CPU_SECONDS = setting("BENCH_CPU_SECONDS", 5)
ROLL_SECONDS = setting("BENCH_ROLL_SECONDS", 19)
RSS_SECONDS = setting("BENCH_RSS_SECONDS", 10)
TICK_SECONDS = setting("BENCH_TICK_SECONDS", 60)
HITS = setting("BENCH_HITS", 200, int)
CALLGRIND_SECONDS = setting("BENCH_CALLGRIND_SECONDS", 10)
TYPE_MS = setting("BENCH_TYPE_MS", 200, int)


def log(*parts):
    print(*parts, file=sys.stderr, flush=True)


def now_ns():
    return time.monotonic_ns()


# ---- geometry of the buttons the player clicks, from the layouts (twips) -------------------

def px(twips):
    # The binding's rounding: half away from zero.
    return int(twips / TWIPS_PER_PIXEL + 0.5)


def centre(left, top, width, height, origin=(0, 0)):
    x0, y0 = px(left), px(top)
    x1, y1 = px(left + width), px(top + height)
    return origin[0] + (x0 + x1) // 2, origin[1] + (y0 + y1) // 2


INTRO_BUTTON = centre(240, 5400, 8292, 492)  # cmdservice
START = centre(3120, 5880, 1692, 372)  # cmdstart
STOP = centre(4920, 5760, 1935, 495)  # cmdstop
# optfast inside the frame fralevel; aim at the round indicator at the option's left end.
LEVEL_FRAME = (px(120), px(5280))
FAST = (LEVEL_FRAME[0] + px(120) + 7, centre(120, 360, 855, 180, LEVEL_FRAME)[1])


# ---- processes -----------------------------------------------------------------------------

def cpu_ns(pid):
    """CPU time of every thread of a process, in ns (the scheduler's own count)."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        try:
            total += int((task / "schedstat").read_text().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total


def cpu_ticks(pid):
    """utime + stime from /proc/PID/stat, in clock ticks."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def memory(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    value = lambda key: int(re.search(rf"^{key}:\s+(\d+) kB", status, re.M).group(1)) / 1024.0
    return value("VmHWM"), value("VmRSS")


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(3)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Display:
    """A private Xvfb on a free display number, ended with the benchmark."""

    def __init__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise SystemExit("bench: Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        stop(self.server)


class Bench:
    def __init__(self, build):
        self.build = build
        self.xtool = build / "bench" / "lumivex-xtool"
        self.display = Display()
        runtime = build / "runtime"
        runtime.mkdir(exist_ok=True)
        runtime.chmod(0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("QT_", "DBUS_", "XMODIFIERS", "GTK_IM"))}
        # The games played here are kept in the build folder, not among the player's own.
        self.env.update(DISPLAY=self.display.name, QT_QPA_PLATFORM="xcb",
                        XDG_RUNTIME_DIR=str(runtime), XDG_DATA_HOME=str(build / "data"))
        self.notes = []

    def close(self):
        self.display.close()

    def run(self, *args, **kwargs):
        return subprocess.run(args, env=self.env, check=True, capture_output=True, text=True,
                              **kwargs).stdout

    def map_waiter(self, title="", timeout_ms=20000):
        waiter = subprocess.Popen([str(self.xtool), "mapwait", title, str(timeout_ms)],
                                  env=self.env, stdout=subprocess.PIPE, text=True)
        if waiter.stdout.readline().strip() != "ready":
            raise SystemExit("bench: lumivex-xtool cannot watch the display")
        return waiter

    @staticmethod
    def mapped(waiter):
        line = waiter.stdout.readline().split(maxsplit=4)
        waiter.wait()
        if not line or line[0] != "mapped":
            return None
        return {"at": int(line[1]), "window": line[2], "pid": int(line[3]),
                "title": line[4].rstrip("\n") if len(line) > 4 else ""}

    def click(self, window, point):
        self.run("xdotool", "mousemove", "--window", window, str(point[0]), str(point[1]),
                 "click", "1")

    def checksum(self, window):
        return self.run(str(self.xtool), "checksum", window).strip()

    def moving(self, window):
        first = self.checksum(window)
        time.sleep(0.3)
        return self.checksum(window) != first

    def cpu_window(self, pid):
        """Share of one core used by the program and by the X server over CPU_SECONDS."""
        server = self.display.server.pid
        start, start_ticks, start_x = now_ns(), cpu_ticks(pid), cpu_ns(server)
        start_cpu = cpu_ns(pid)
        time.sleep(CPU_SECONDS)
        end_cpu = cpu_ns(pid)
        end, end_ticks, end_x = now_ns(), cpu_ticks(pid), cpu_ns(server)
        wall = end - start
        hz = os.sysconf("SC_CLK_TCK")
        return {"cpu": 100.0 * (end_cpu - start_cpu) / wall,
                "cpu_stat": 100.0 * (end_ticks - start_ticks) / hz / (wall / 1e9),
                "x": 100.0 * (end_x - start_x) / wall}

    def launch(self, executable, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        log_file = open(self.build / "bench-stderr.log", "a")
        started = now_ns()
        process = subprocess.Popen([str(executable)], cwd=ROOT, env=env,
                                   stdout=subprocess.DEVNULL, stderr=log_file)
        log_file.close()
        return process, started

    # ---- one start of each program ---------------------------------------------------------

    def session(self, which):
        """Start-up to the first mapped window, memory at RSS_SECONDS, then the CPU windows."""
        executable = (self.build / "app" / "lumivex" if which == "lumivex"
                      else self.build / "bench" / "baseline" / "lumivex-baseline")
        waiter = self.map_waiter()
        process, started = self.launch(executable)
        sample = {}
        try:
            first = self.mapped(waiter)
            if first is None:
                raise SystemExit(f"bench: {executable.name} mapped no window")
            sample["map_ms"] = (first["at"] - started) / 1e6
            self.sleep_until(started, RSS_SECONDS)
            sample["hwm"], sample["rss"] = memory(process.pid)
            if which == "baseline":
                sample["idle"] = self.cpu_window(process.pid)
                return sample
            self.play(process.pid, first, started, sample)
            return sample
        finally:
            stop(process)

    def play(self, pid, first, started, sample):
        game = first["window"]
        if first["title"] == INTRO_TITLE:
            self.sleep_until(started, ROLL_SECONDS)
            sample["intro_idle"] = self.cpu_window(pid)
            waiter = self.map_waiter(GAME_TITLE, 5000)
            self.click(first["window"], INTRO_BUTTON)
            shown = self.mapped(waiter)
            if shown is None:
                raise SystemExit("bench: the intro's button did not open the game window")
            game = shown["window"]
        elif first["title"] == GAME_TITLE:
            self.note("The program opened the game window directly (no intro window in this "
                      "build): the intro figures are left out.")
        else:
            raise SystemExit(f"bench: unexpected first window {first['title']!r}")
        # Idle means the player not typing either: the text cursor rests 10 s after the
        # window took the focus.
        time.sleep(11.0)
        sample["stopped"] = self.cpu_window(pid)
        self.click(game, START)
        time.sleep(0.2)
        if not self.moving(game):
            raise SystemExit("bench: clicking Start did not start the game")
        sample["slow"] = self.cpu_window(pid)
        self.click(game, STOP)
        self.click(game, FAST)
        self.click(game, START)
        time.sleep(0.2)
        if not self.moving(game):
            raise SystemExit("bench: clicking Fast and Start did not start the game")
        sample["fast"] = self.cpu_window(pid)

    def motion(self, extra_env=None):
        """CPU of the empty window moving one word-sized rectangle every 50 ms."""
        process, _ = self.launch(self.build / "bench" / "baseline" / "lumivex-baseline-motion",
                                 extra_env)
        try:
            time.sleep(1.5)
            return self.cpu_window(process.pid)
        finally:
            stop(process)

    def wake(self):
        """CPU of a process that only wakes every 50 ms."""
        process, _ = self.launch(self.build / "bench" / "baseline" / "lumivex-baseline-wake")
        try:
            time.sleep(0.5)
            return self.cpu_window(process.pid)
        finally:
            stop(process)

    def instructions(self, which):
        """Instructions per second of play at Slow, or of the moving rectangle, as callgrind
        counts them: unlike time, the count does not move with the load of the machine."""
        out = self.build / f"callgrind.{which}.out"
        out.unlink(missing_ok=True)
        executable = (self.build / "app" / "lumivex" if which == "lumivex"
                      else self.build / "bench" / "baseline" / "lumivex-baseline-motion")
        waiter = self.map_waiter("", 120000)
        process = subprocess.Popen(
            ["valgrind", "--tool=callgrind", "--instr-atstart=no", f"--callgrind-out-file={out}",
             str(executable)], cwd=ROOT, env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        try:
            first = self.mapped(waiter)
            if first is None:
                raise SystemExit(f"bench: {executable.name} mapped no window under callgrind")
            if which == "lumivex":
                game = first["window"]
                if first["title"] == INTRO_TITLE:
                    time.sleep(1)
                    waiter = self.map_waiter(GAME_TITLE, 120000)
                    self.click(first["window"], INTRO_BUTTON)
                    game = self.mapped(waiter)["window"]
                time.sleep(2)
                self.click(game, START)
            time.sleep(3)
            control = lambda switch: subprocess.run(
                ["callgrind_control", "-i", switch, str(process.pid)], env=self.env,
                capture_output=True, check=True)
            control("on")
            time.sleep(CALLGRIND_SECONDS)
            control("off")
        finally:
            stop(process)
        totals = re.search(r"^totals:\s+(\d+)", out.read_text(), re.M)
        return int(totals.group(1)) / CALLGRIND_SECONDS

    def first_paint(self, which):
        executable = {
            "lumivex": self.build / "bench" / "lumivex-probe",
            "baseline": self.build / "bench" / "baseline" / "lumivex-baseline-probe",
            "text": self.build / "bench" / "baseline" / "lumivex-baseline-text-probe",
        }[which]
        with tempfile.NamedTemporaryFile("r", suffix=".probe") as out:
            process, started = self.launch(executable, {"LUMIVEX_PROBE_OUT": out.name})
            try:
                process.wait(30)
            except subprocess.TimeoutExpired:
                stop(process)
                raise SystemExit(f"bench: {executable.name} never painted its window")
            marks = dict(line.split() for line in Path(out.name).read_text().splitlines())
        return {"paint_ms": (int(marks["first-paint"]) - started) / 1e6,
                "app_ms": (int(marks["app-ready"]) - started) / 1e6}

    def play_bench(self):
        out = self.build / "play.json"
        out.unlink(missing_ok=True)
        executable = self.build / "bench" / "lumivex-play-bench"
        limit = TICK_SECONDS + HITS * TYPE_MS / 1000 * 4 + 60
        subprocess.run([str(executable), str(out), str(TICK_SECONDS), str(HITS), str(TYPE_MS)],
                       cwd=ROOT, env=self.env, timeout=limit, check=True,
                       stdout=subprocess.DEVNULL)
        return json.loads(out.read_text())

    def note(self, text):
        if text not in self.notes:
            self.notes.append(text)
            log("note:", text)

    @staticmethod
    def sleep_until(started, seconds):
        left = started / 1e9 + seconds - now_ns() / 1e9
        if left > 0:
            time.sleep(left)


# ---- figures -------------------------------------------------------------------------------

def spread(values, digits=1):
    if not values:
        return "n/a"
    return " / ".join(f"{v:.{digits}f}" for v in (min(values), statistics.median(values), max(values)))


def percentile(values, p):
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    rank = p / 100 * (len(ordered) - 1)
    low = int(rank)
    high = min(low + 1, len(ordered) - 1)
    return ordered[low] + (ordered[high] - ordered[low]) * (rank - low)


def verdict(ok):
    return "PASS" if ok else "MISS"


def report(samples, play, notes):
    lumi, base = samples["lumivex"], samples["baseline"]
    col = lambda rows, *path: [pick(r, path) for r in rows if pick(r, path) is not None]
    med = lambda values: statistics.median(values) if values else float("nan")
    rows = []

    def row(name, ours, theirs, target, ok):
        rows.append((name, ours, theirs, target, "" if ok is None else verdict(ok)))

    row("Start-up: exec to first window mapped (ms)", spread(col(lumi, "map_ms")),
        spread(col(base, "map_ms")), "", None)
    paint, base_paint = col(lumi, "paint_ms"), col(base, "paint_ms")
    row("Start-up: exec to first window painted (ms)",
        spread(paint) + f" ({med(paint) / med(base_paint):.2f} ×)", spread(base_paint),
        "≤ 1.2 × baseline", med(paint) <= 1.2 * med(base_paint))
    text_paint = col(base, "text_paint_ms")
    row("Start-up: the same, the baseline window showing one line of Hangul (ms)", "",
        spread(text_paint) + f" ({med(text_paint) / med(base_paint):.2f} ×)", "", None)
    hwm, base_hwm = col(lumi, "hwm"), col(base, "hwm")
    row("Peak RSS, VmHWM at 10 s (MiB)", spread(hwm), spread(base_hwm), "≤ baseline + 10 MiB",
        med(hwm) <= med(base_hwm) + 10)
    row("Steady RSS, VmRSS at 10 s (MiB)", spread(col(lumi, "rss")), spread(col(base, "rss")),
        "", None)

    def cpu_row(name, key, limit, theirs):
        ours = col(lumi, key, "cpu")
        if not ours:
            row(name, "n/a (no intro window)", "", f"≤ {limit} %", None)
            return
        x = col(lumi, key, "x")
        theirs_text = spread(col(base, theirs, "cpu"), 2) + f"; X {med(col(base, theirs, 'x')):.2f}"
        inline = col(base, theirs + "_inline", "cpu")
        if inline:
            theirs_text += (f"; frames sent inline {spread(inline, 2)}; "
                            f"X {med(col(base, theirs + '_inline', 'x')):.2f}")
        row(name + " (% of a core; the X server's beside)", spread(ours, 2) + f"; X {med(x):.2f}",
            theirs_text, f"≤ {limit} %", med(ours) <= limit)

    cpu_row("CPU, intro window after its roll", "intro_idle", 0.2, "idle")
    cpu_row("CPU, game window stopped, the player not typing", "stopped", 0.2, "idle")
    cpu_row("CPU, play at Slow", "slow", 0.5, "motion")
    cpu_row("CPU, play at Fast", "fast", 0.5, "motion")
    row("CPU, a process that only wakes every 50 ms and does nothing (% of a core)", "",
        spread(col(base, "wake", "cpu"), 2), "", None)

    periods = [p / 1000 for p in play["tick_periods_us"]]
    deviation = [abs(p - 50) for p in periods]
    dropped = sum(1 for p in periods if p > 75)
    row(f"Game tick period over {sum(periods) / 1000:.0f} s, {len(periods)} ticks (ms): "
        "median; p99 and max deviation from 50; dropped",
        f"{med(periods):.2f}; {percentile(deviation, 99):.2f} and {max(deviation):.2f}; {dropped}",
        "", "median 50 ± 0.5, p99 ≤ 2, none dropped",
        abs(med(periods) - 50) <= 0.5 and percentile(deviation, 99) <= 2 and dropped == 0)
    latency = [v / 1000 for v in play["latency_us"]]
    row(f"Key-to-screen, Enter to the new score painted, {len(latency)} hits (ms): p50; p99",
        f"{percentile(latency, 50):.2f}; {percentile(latency, 99):.2f}", "", "p99 ≤ 5 ms",
        len(latency) >= HITS and percentile(latency, 99) <= 5)
    ticks = play["ticks"]
    painted = [t["painted"] for t in ticks]
    stray = [t["stray"] for t in ticks if t["stray"] > 0]
    window = play["window_pixels"]
    row(f"Pixels repainted per tick, six words falling, {len(ticks)} ticks: min / median / max "
        f"(the window has {window}); repainted where nothing changed",
        spread(painted, 0) + f"; {sum(stray)} pixels in {len(stray)} ticks", "",
        "only what changed", not stray)
    if "instructions" in play:
        counts = play["instructions"]
        row("Instructions per second of play at Slow, counted by callgrind (millions)",
            f"{counts['lumivex'] / 1e6:.2f}", f"{counts['motion'] / 1e6:.2f}", "", None)
    paint_us = [t["paint_us"] for t in ticks]
    paint_cpu_us = [t["paint_cpu_us"] for t in ticks]
    handler_us = [t["handler_us"] for t in ticks]
    row("Paint time per tick, painted and put on the screen (µs): median; p99; median CPU time; "
        "the tick step itself, median",
        f"{med(paint_us):.0f}; {percentile(paint_us, 99):.0f}; {med(paint_cpu_us):.0f}; "
        f"{med(handler_us):.0f}", "", "", None)

    lines = ["| Figure | Lumivex | Baseline (empty window) | Target | Result |",
             "|---|---|---|---|---|"]
    lines += [f"| {' | '.join(r)} |" for r in rows]
    text = "\n".join(lines) + "\n"
    text += (f"\nStart-up, memory and CPU: min / median / max over {RUNS} starts of each program, "
             "the programs alternating; first paints measured apart from the other figures, "
             "each start after a pause. Each CPU window "
             f"{CPU_SECONDS:g} s, CPU time of all the program's threads (the scheduler's count, "
             "user and system). Beside the play rows the baseline column gives the same empty "
             "window moving one word-sized rectangle by a pixel every 50 ms, the least a Qt "
             "Widgets program pays for anything that moves: as Qt sends frames by default "
             "(shared memory) and sent inline, as Lumivex sends them. "
             "The game tick, key-to-screen and repaint figures come from one run of the play "
             "benchmark, a separate executable built from the same libraries; the instruction "
             f"counts from {CALLGRIND_SECONDS:g} s of each program under callgrind.\n")
    for n in notes:
        text += f"\nNote: {n}\n"
    return text


def load():
    return Path("/proc/loadavg").read_text().split()[0]


EXPLANATION = """What the figures owe to the platform, and what was done about the program's own share:

- Start-up: the empty window draws no text. The same window showing one line of Hangul (the
  second start-up row) already pays for fontconfig's start (reading its configuration and
  caches, about 3 ms here), Qt's list of the installed fonts and one Hangul face. Lumivex's
  first frame draws two more faces (the credits in UnGungseo, the button in bold italic
  NanumGothic) and, as the program is meant to start, first builds the hidden game window
  with its 44 controls and loads the icon twice. Done for its own share: fontconfig starts
  on a second thread while Qt connects to the accessibility bus, which is mostly waiting on
  D-Bus; each face is asked for by its installed stand-in (asked for a face that is not
  installed, Qt first ranks every installed font by likeness to it, over a millisecond);
  the hidden window's widgets take their fonts when it is first shown (a font set on a
  frame or an entry box is loaded and measured at once); only the credit lines that can be
  seen are laid out. What is left beyond the one-line window: Qt's icon plugin (about
  0.5 ms), the two windows' widgets, and the second face of the first frame.
- Play: each tick wakes the program once; the step moves the words, the rectangles they
  left and entered are painted at once, in the same turn of the event loop, and go to the
  X server in one write of a few KiB. Qt's default puts frames through shared memory, where
  each frame first waits for the X server to finish reading the last one: a round trip and
  two more threads woken, 20 times a second. The moving rectangle is shown both ways. On
  this machine (a virtual one) a bare wake-up costs the woken process tens of
  microseconds by itself, as the row of the process that only wakes shows; the rest is
  Qt's repaint cycle and the write to the X server. A label keeps its caption as a picture
  (on its own ground when it is opaque, so that a falling word is a plain copy), a word
  that falls by less than a pixel is not repainted, and a word sent back to the top is
  repainted at its old and its new place only.
- Idle, two things still wake the program twice a second: the intro's button blinking (its
  face repainted) and the text cursor of the entry box (Qt's own blink).
- Memory above the baseline is mostly the Hangul fonts (the pages of NanumGothic and UnGungseo
  that hold the glyphs drawn) and Qt's code for buttons, option buttons, frames and the entry
  box. Text is drawn unhinted: hinting loads and runs every glyph of a text to measure it, and
  the light hinting desktops ask for first runs FreeType's auto-hinter over dozens of reference
  glyphs of each Hangul face. The blinking button keeps one palette: a new palette at every
  blink had the style cache a new 70 KiB image of the button each time, up to 10 MiB.
- The tick runs on Qt's precise timers; a tick late by more than a millisecond was the machine
  busy with something else. CPU and timing figures move with other load on this 2-core
  machine (the same program measured 0.3 % and 0.9 % in two windows a minute apart); the
  load average is given under the table.
"""


def pick(sample, path):
    value = sample
    for key in path:
        if not isinstance(value, dict) or key not in value:
            return None
        value = value[key]
    return value


def machine():
    cpu = re.search(r"^model name\s*:\s*(.*)$", Path("/proc/cpuinfo").read_text(), re.M)
    debian = Path("/etc/debian_version").read_text().strip()
    qt = subprocess.run(["dpkg-query", "-W", "-f=${Version}", "libqt6core6"],
                        capture_output=True, text=True).stdout.strip()
    compiler = subprocess.run(["c++", "--version"], capture_output=True,
                              text=True).stdout.splitlines()[0]
    return (f"{os.cpu_count()} cores ({cpu.group(1) if cpu else platform.processor()}), "
            f"Debian {debian}, Linux {platform.release()}, Qt {qt}, {compiler}")


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    build = Path(sys.argv[1]).resolve()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    (build / "bench-stderr.log").unlink(missing_ok=True)
    bench = Bench(build)
    load_before = load()
    samples = {"lumivex": [], "baseline": []}
    try:
        for run in range(RUNS):
            order = ("lumivex", "baseline") if run % 2 == 0 else ("baseline", "lumivex")
            for which in order:
                sample = bench.session(which)
                if which == "baseline":
                    sample["motion"] = bench.motion()
                    sample["motion_inline"] = bench.motion({"QT_XCB_NO_MITSHM": "1"})
                    sample["wake"] = bench.wake()
                samples[which].append(sample)
            log(f"run {run + 1}/{RUNS}: " + "; ".join(
                f"{w} map {samples[w][-1]['map_ms']:.0f} ms" for w in order))
        # First paints on their own, each after a pause: right after a session the X server
        # and the session bus are still busy with the program that just ended.
        log("first paints ...")
        for run in range(RUNS):
            order = ["lumivex", "baseline", "text"]
            order = order[run % 3:] + order[:run % 3]
            for which in order:
                time.sleep(0.3)
                paint = bench.first_paint(which)
                if which == "text":
                    samples["baseline"][run]["text_paint_ms"] = paint["paint_ms"]
                else:
                    samples[which][run].update(paint)
        log("play benchmark: tick, key-to-screen, repaint ...")
        play = bench.play_bench()
        if CALLGRIND_SECONDS > 0:
            log("instructions per second of play, under callgrind ...")
            play["instructions"] = {w: bench.instructions(w) for w in ("lumivex", "motion")}
    finally:
        bench.close()
    bench.note(f"Load average (1 min) {load_before} before the run and {load()} after it; other "
               "work on the machine shows in the CPU and timing figures.")
    table = report(samples, play, bench.notes)
    (build / "results.json").write_text(json.dumps({"samples": samples, "play": play}, indent=1))
    (build / "results.md").write_text(table)
    section = ("## Performance\n\n"
               "Measured with `bench/run.sh` on a private Xvfb, Lumivex beside an empty Qt 6 "
               "Widgets window built by the same CMake with the same compiler and flags "
               "(Release, -O2). Reproduce with:\n\n```sh\nbench/run.sh\n```\n\n"
               "It takes about half an hour and writes the table to "
               "`build/bench/results.md`.\n\n" + table +
               f"\nMachine: {machine()}.\n\n" + EXPLANATION)
    (build / "README-section.md").write_text(section)
    print(table)


if __name__ == "__main__":
    main()
