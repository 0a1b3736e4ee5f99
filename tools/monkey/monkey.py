#!/usr/bin/env python3
"""A monkey for the real kelvo program: random but valid X input against the demo box while the
box's faults come and go, for a set time. See README.md in this folder.

    monkey.py --binary PATH/kelvo --demobox PATH/kelvo-demobox [--seconds N] [--seed S] [--out DIR]

Outside a private network namespace it starts itself again inside tools/netns-run and xvfb-run.
Exit status 0 when the program survived, 1 on a finding, 2 when the run could not be set up."""

import argparse
import os
import random
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "journeys"))

from kelvo_journey import DemoBox, JourneyError, Kelvo, screenshot, wait_for  # noqa: E402

SCREEN = (1400, 900)
HANG_LIMIT_S = 2.0
SANITIZER_MARKS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                   "AddressSanitizer:DEADLYSIGNAL", "ERROR: UndefinedBehaviorSanitizer")

# Command ids (commands/KelvoCommandIds.h) that switch modes and views, by how a person reaches them.
ID_MODE_CHANNEL, ID_MODE_SCHEDULE, ID_MODE_SETTING, ID_TOGGLE_REMOTE = 49152, 49153, 49154, 49155
MODE_COMMANDS = (ID_MODE_CHANNEL, ID_MODE_SCHEDULE, ID_MODE_SETTING)
VIEW_COMMANDS = (49168, 49169, 49170, 49171,        # channel page: TV, radio, refresh, dock
                 49200, 49201, 49202, 49204, 49207,  # next, previous, mute, channel popup, info
                 40960, 40961, 49424, 49425, 49427)  # guide days, guide TV, edit back, show guide
MINI_PLAYER, NORMAL_PLAYER = 49205, 49206
ID_SAVE_SETTINGS = 49426
LISTS = ("ChannelList", "ChannelList", "ChannelList", "GuideList", "ScheduleList", "ctl1011")
# The program's keys (player, full screen, fields) and what a person presses besides.
KEYS = ("Return", "Escape", "space", "Left", "Right", "Up", "Down", "Tab", "shift+Tab", "Left", "Right",
        "Page_Down", "Page_Up", "Home", "End", "a", "k", "BackSpace")
# Buttons that would end the run rather than test anything.
AVOID = ("closeButton", "minimizeButton")

# Box faults: (mode, argument chooser); "off" switches the box off for a while.
FAULT_MODES = (
    ("hang", lambda r: None),
    ("reset", lambda r: None),
    ("garbage", lambda r: r.choice((64, 4096, 65536))),
    ("delay", lambda r: r.randint(300, 4000)),
    ("drip", lambda r: r.randint(10, 80)),
    ("truncate", lambda r: None),
    ("http500", lambda r: None),
    ("error", lambda r: r.randint(1, 7)),
    ("omit", lambda r: None),
    ("off", lambda r: None),
)
FAULT_COMMANDS = (None, None, "svc_list", "status", "start_streaming", "stop_streaming", "epg_info",
                  "alarm_list", "set_alarm", "fav_group", "check_pin", "rcu", "version")


class Finding(Exception):
    pass


class Hang(Exception):
    def __init__(self, waited, own):
        super().__init__()
        self.waited = waited
        self.own = own


def log(text):
    print(f"monkey: {text}", flush=True)


def run_x(args, timeout=5):
    """xdotool without waiting forever on a window that went away meanwhile."""
    try:
        return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout).stdout
    except subprocess.TimeoutExpired:
        return ""


class Watch(threading.Thread):
    """Asks the probe every quarter second on a connection of its own and samples the process's
    descriptors and threads once a second."""

    def __init__(self, app):
        super().__init__(daemon=True)
        self.app = app
        self.stop = threading.Event()
        self.samples = []  # (seconds since start, descriptors, threads)
        self.worst = 0.0  # the slowest answer less the time the program waited for a processor
        self.worst_wall = 0.0
        self.hang = None
        self.pings = 0
        self.started = time.monotonic()
        self.x_server = self.find_x_server()
        self.threads_at_hang = ""

    def queue_waits(self):
        """Seconds each thread of the program and of its X server has waited for a processor so
        far: the program waits for the X server when it draws or stops a picture."""
        waits = {}
        for pid in (self.app.proc.pid, self.x_server):
            base = f"/proc/{pid}/task"
            try:
                for tid in os.listdir(base):
                    with open(f"{base}/{tid}/schedstat") as f:
                        waits[tid] = int(f.read().split()[1]) / 1e9
            except (OSError, ValueError, IndexError, TypeError):
                pass
        return waits

    @staticmethod
    def find_x_server():
        display = os.environ.get("DISPLAY", "")
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    args = f.read().decode(errors="replace").split("\0")
            except OSError:
                continue
            if args and os.path.basename(args[0]) == "Xvfb" and display in args:
                return int(pid)
        return None

    def threads_now(self):
        """Where the program's threads are at this moment (kernel side), for a stand-still that
        has ended by the time a debugger gets there."""
        lines = []
        base = f"/proc/{self.app.proc.pid}/task"
        for tid in sorted(os.listdir(base), key=int):
            try:
                stat = open(f"{base}/{tid}/stat").read()
                name = stat[stat.index("(") + 1:stat.rindex(")")]
                state = stat[stat.rindex(")") + 2]
                wchan = open(f"{base}/{tid}/wchan").read()
                syscall = open(f"{base}/{tid}/syscall").read().split()[0]
                lines.append(f"{tid} {name!r} {state} wchan={wchan} syscall={syscall}")
                if tid == str(self.app.proc.pid):
                    lines.append(open(f"{base}/{tid}/stack").read())
            except (OSError, ValueError, IndexError):
                continue
        return "\n".join(lines)

    def ping(self):
        """(wall seconds, seconds the program could have used) for one answer. The machine is
        shared: time in which the program's threads waited for a processor is not the program's
        stand-still, so the longest such wait of any of its threads (the user-interface thread, or
        one it waits for) is taken off. Raises Hang when the rest passes the limit."""
        began = time.monotonic()
        before = self.queue_waits()
        seen = dict(before)  # a thread that ends during the wait keeps what it waited

        def standing():
            waited = time.monotonic() - began
            seen.update(self.queue_waits())
            starved = max((seen[t] - before[t] for t in seen if t in before), default=0.0)
            return waited, max(0.0, waited - starved)

        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
            s.settimeout(0.25)
            s.connect(self.app.env["KELVO_PROBE"])
            s.sendall(b"state\n")
            data = b""
            while not data.endswith(b"\n"):
                try:
                    chunk = s.recv(4096)
                except socket.timeout:
                    waited, own = standing()
                    if own > HANG_LIMIT_S or waited > 60:
                        self.threads_at_hang = self.threads_now()
                        raise Hang(waited, own)
                    continue
                if not chunk:
                    raise ConnectionError("probe closed")
                data += chunk
        waited, own = standing()
        if own > HANG_LIMIT_S:  # an answer that came, but late
            self.threads_at_hang = self.threads_now()
            raise Hang(waited, own)
        return waited, own

    def run(self):
        last_sample = 0.0
        pid = self.app.proc.pid
        while not self.stop.is_set() and self.app.proc.poll() is None:
            try:
                waited, own = self.ping()
                self.pings += 1
                self.worst = max(self.worst, own)
                self.worst_wall = max(self.worst_wall, waited)
            except Hang as hang:
                if self.app.proc.poll() is None and not self.stop.is_set():
                    self.hang = (f"the user-interface thread did not answer the probe for {hang.own:.1f} s "
                                 f"of its own ({hang.waited:.1f} s on the clock)")
                    return
            except OSError:
                pass  # ending, or the probe is being torn down with the window
            now = time.monotonic()
            if now - last_sample >= 1.0:
                last_sample = now
                try:
                    fds = len(os.listdir(f"/proc/{pid}/fd"))
                    tasks = len(os.listdir(f"/proc/{pid}/task"))
                    self.samples.append((now - self.started, fds, tasks))
                except OSError:
                    pass
            self.stop.wait(0.25)


def growth_verdict(samples):
    """Unbounded growth: the median of the last quarter well above the most of the first half
    (after the start-up settled). Playing and stopping move the counts a good deal (the engine's
    threads come and go with a stream), but inside a band that the first half has seen."""
    if len(samples) < 40:
        return None, "too short to judge growth"
    n = len(samples)
    first = samples[n // 10: n // 2]
    last = samples[n - n // 4:]
    lines = []
    finding = None
    for index, name, floor in ((1, "descriptors", 32), (2, "threads", 24)):
        base = max(s[index] for s in first)
        end = statistics.median(s[index] for s in last)
        limit = base + max(floor, base // 2)
        lines.append(f"{name} first-half max {base}, last-quarter median {end:.0f}, peak "
                     f"{max(s[index] for s in samples)} (limit {limit})")
        if end > limit:
            finding = f"{name} grew from {base} to {end:.0f}"
    return finding, "; ".join(lines)


class Monkey:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.work = args.work
        self.counts = {"inputs": 0, "faults": 0, "box-off": 0, "restarts": 0}
        self.box = None
        self.box_port = None
        self.box_back_at = None
        self.app = None
        self.watch = None
        self.segments = []  # samples of every program run, for the growth verdict
        self.layout = ([], [])
        self.layout_at = 0.0
        self.home = os.path.join(self.work, "home")
        os.makedirs(self.home, exist_ok=True)
        # No sound device inside the namespace: a null one keeps the audio output from waiting.
        with open(os.path.join(self.home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\n")

    # ----- the box
    def start_box(self):
        extra = ["--parent-pid", str(os.getpid())]
        self.box = DemoBox(self.args.demobox, self.work, extra, self.box_port or 0)
        self.box_port = self.box.port

    def box_off(self, seconds):
        self.box.stop()
        self.box = None
        self.box_back_at = time.monotonic() + seconds
        self.counts["box-off"] += 1

    def box_control(self, query):
        try:
            urllib.request.urlopen(f"http://127.0.0.1:{self.box_port}/demobox/fault?{query}", timeout=5).read()
            return True
        except OSError:
            return False

    def switch_fault(self):
        if self.box is None:
            return
        self.counts["faults"] += 1
        if self.rng.random() < 0.35:
            self.box_control("clear=1")
            return
        mode, arg_of = self.rng.choice(FAULT_MODES)
        if mode == "off":
            self.box_off(self.rng.uniform(2, 10))
            return
        query = f"mode={mode}"
        command = self.rng.choice(FAULT_COMMANDS)
        if command:
            query += f"&cmd={command}"
        arg = arg_of(self.rng)
        if arg is not None:
            query += f"&arg={arg}"
        if self.rng.random() < 0.4:
            query += f"&count={self.rng.randint(1, 5)}"
        self.box_control("clear=1")
        self.box_control(query)

    # ----- the program
    def start_app(self):
        app = Kelvo(self.args.binary, self.work, ["--box", "127.0.0.1", "--port", str(self.box_port)])
        app.env["HOME"] = self.home
        # Not CI's own: the program is ended through its window and the engine's plugins keep
        # allocations to the end (growth is watched through descriptors and threads instead), and
        # the engine's video outputs free with free() what their drivers made with new.
        app.env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1:alloc_dealloc_mismatch=0"
        app.env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
        app.start(timeout=60)
        self.app = app
        self.watch = Watch(app)
        self.watch.start()

    def output(self):
        path = os.path.join(self.work, "kelvo.out")
        return open(path, errors="replace").read() if os.path.exists(path) else ""

    def check_app(self):
        """A finding when the program crashed, reported a fault or stood still; a fresh start when
        input closed it (which is valid input, if not a useful one)."""
        text = self.output()
        for mark in SANITIZER_MARKS:
            if mark in text:
                raise Finding(f"sanitizer report: {mark}")
        if self.watch.hang:
            self.keep_evidence()
            self.stack_of_hang()
            raise Finding(self.watch.hang)
        rc = self.app.proc.poll()
        if rc is None:
            return
        if rc < 0:
            raise Finding(f"the program ended by signal {-rc}")
        if rc != 0:
            raise Finding(f"the program ended with status {rc}")
        self.end_segment()
        self.counts["restarts"] += 1
        log("the program was closed by input; starting it again")
        self.start_app()

    def keep_evidence(self):
        """What the screen and the program showed, for a finding that is not a crash."""
        try:
            screenshot(os.path.join(self.work, "finding.png"))
        except (OSError, subprocess.SubprocessError):
            pass
        with open(os.path.join(self.work, "finding.txt"), "w") as f:
            f.write(f"state: {self.app.ask('state')}\nmessage: {self.app.ask('message')}\n")
            f.write(f"windows: {self.windows()}\n")
            f.write(f"closeButton: {self.app.ask('widget closeButton')}\n")

    def stack_of_hang(self):
        with open(os.path.join(self.work, "hang-threads.txt"), "w") as f:
            f.write(self.watch.threads_at_hang)
        try:
            r = subprocess.run(["gdb", "-p", str(self.app.proc.pid), "-batch", "-ex", "thread apply 1 bt"],
                               capture_output=True, text=True, timeout=60)
            with open(os.path.join(self.work, "hang-stack.txt"), "w") as f:
                f.write(r.stdout + r.stderr)
            log("stack of the user-interface thread in " + os.path.join(self.work, "hang-stack.txt"))
        except (OSError, subprocess.TimeoutExpired):
            pass

    def end_segment(self):
        if self.watch:
            self.watch.stop.set()
            self.watch.join(5)
            self.segments.append(self.watch.samples)

    # ----- input
    def windows(self):
        """The program's shown top-level windows (frame, popups, dialogs, the remote) as rectangles."""
        ids = run_x(["search", "--onlyvisible", "--pid", str(self.app.proc.pid), ""]).split()
        rects = []
        for wid in ids:
            geo = dict(line.split("=", 1) for line in run_x(["getwindowgeometry", "--shell", wid]).split()
                       if "=" in line)
            try:
                x, y, w, h = (int(geo[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
            except (KeyError, ValueError):
                continue
            if w > 4 and h > 4:
                rects.append((wid, x, y, w, h))
        return rects

    def avoided(self):
        rects = []
        for name in AVOID:
            answer = self.app.ask("widget " + name)
            if answer:
                x, y, w, h, shown = (int(v) for v in answer.split())
                if shown:
                    rects.append((x - 4, y - 4, w + 8, h + 8))
        return rects

    def random_point(self):
        # Asking the X server and the probe for every click would halve the input rate; windows
        # rarely change within half a second, and a click on a window just gone is harmless.
        now = time.monotonic()
        if now - self.layout_at > 0.5:
            self.layout = (self.windows(), self.avoided())
            self.layout_at = now
        rects, avoid = self.layout
        if not rects:
            return None
        _, x, y, w, h = self.rng.choice(rects)
        for _ in range(10):
            px, py = x + self.rng.randrange(w), y + self.rng.randrange(h)
            px, py = min(max(px, 0), SCREEN[0] - 1), min(max(py, 0), SCREEN[1] - 1)
            if not any(ax <= px < ax + aw and ay <= py < ay + ah for ax, ay, aw, ah in avoid):
                return px, py
        return None

    def click(self, point, double=False, button=1):
        if point is None:
            return False
        run_x(["mousemove", "--sync", str(point[0]), str(point[1])])
        run_x(["click", "--repeat", "2" if double else "1", "--delay", "80", str(button)])
        return True

    def click_command(self, command_id):
        answer = self.app.ask(f"command {command_id}")
        if not answer:
            return False
        x, y, w, h, _ = (int(v) for v in answer.split())
        return self.click((x + w // 2, y + h // 2))

    def answer_message(self):
        """A message box holds the whole window until answered; without a window manager it may
        not even have the keyboard. A person reads it and presses one of its buttons."""
        if not self.app.ask("message"):
            return False
        for text in self.rng.sample(("OK", "Yes", "No"), 3):
            answer = self.app.ask("button " + text)
            if answer:
                x, y, w, h, _ = (int(v) for v in answer.split())
                return self.click((x + w // 2, y + h // 2))
        return False

    def act(self):
        r = self.rng
        if r.random() < 0.5 and self.answer_message():
            self.counts["inputs"] += 1
            return
        choice = r.choices(("click", "double", "row", "key", "wheel", "resize", "mode", "view", "mini", "remote",
                            "drag", "save"),
                           weights=(30, 8, 14, 22, 7, 3, 6, 7, 3, 3, 2, 1))[0]
        done = False
        if choice == "click":
            done = self.click(self.random_point(), button=r.choice((1, 1, 1, 1, 3)))
        elif choice == "double":
            done = self.click(self.random_point(), double=True)
        elif choice == "row":
            name = r.choice(LISTS)
            count = int(self.app.ask("count " + name) or 0)
            answer = self.app.ask(f"row {name} {r.randrange(min(count, 12))}") if count else None
            if answer:
                x, y, w, h = (int(v) for v in answer.split())
                done = self.click((x + r.randrange(max(1, w)), y + h // 2), double=r.random() < 0.7)
        elif choice == "key":
            if r.random() < 0.2:
                wid = self.app.window_id()  # the keyboard back to the frame, as a click would
                if wid:
                    run_x(["windowfocus", wid])
            run_x(["key", "--clearmodifiers", r.choice(KEYS)])
            done = True
        elif choice == "wheel":
            point = self.random_point()
            if point:
                run_x(["mousemove", "--sync", str(point[0]), str(point[1])])
                run_x(["click", "--repeat", str(r.randint(1, 6)), "--delay", "30", r.choice(("4", "5"))])
                done = True
        elif choice == "resize":
            wid = self.app.window_id()
            if wid:
                run_x(["windowsize", wid, str(r.randint(200, SCREEN[0])), str(r.randint(150, SCREEN[1]))])
                if r.random() < 0.5:
                    run_x(["windowmove", wid, str(r.randint(0, 600)), str(r.randint(0, 400))])
                done = True
        elif choice == "mode":
            done = self.click_command(r.choice(MODE_COMMANDS))
        elif choice == "view":
            done = self.click_command(r.choice(VIEW_COMMANDS))
        elif choice == "mini":
            done = self.click_command(r.choice((MINI_PLAYER, NORMAL_PLAYER)))
        elif choice == "remote":
            done = self.click_command(ID_TOGGLE_REMOTE)
        elif choice == "drag":
            start, end = self.random_point(), self.random_point()
            if start and end:
                run_x(["mousemove", "--sync", str(start[0]), str(start[1])])
                run_x(["mousedown", "1"])
                run_x(["mousemove", "--sync", str(end[0]), str(end[1])])
                run_x(["mouseup", "1"])
                done = True
        elif choice == "save":
            done = self.click_command(ID_SAVE_SETTINGS)
        if done:
            self.counts["inputs"] += 1

    def warm_up(self):
        """Start one stream before the growth samples count, so that the first quarter already
        holds what playing costs."""
        try:
            wait_for(lambda: int(self.app.ask("count ChannelList") or 0) > 0, 60, "the channel list")
            x, y, w, h = (int(v) for v in self.app.ask("row ChannelList 0").split())
            self.click((x + w // 3, y + h // 2), double=True)
            wait_for(lambda: self.app.state().get("playing") == "1", 40, "the first service to play")
        except (JourneyError, AttributeError, ValueError):
            log("warm-up did not get a picture; going on")

    # ----- the run
    def run(self):
        self.start_box()
        self.start_app()
        self.warm_up()
        began = time.monotonic()
        end = began + self.args.seconds
        next_fault = began + self.rng.uniform(2, 8)
        last_report = began
        next_shot = began
        while time.monotonic() < end:
            self.check_app()
            now = time.monotonic()
            if self.box is None and now >= self.box_back_at:
                self.start_box()
            if now >= next_fault:
                self.switch_fault()
                next_fault = now + self.rng.uniform(2, 12)
            try:
                self.act()
            except (ValueError, JourneyError):
                pass  # a widget went away between asking and clicking
            if self.args.shots and now >= next_shot:
                next_shot = now + self.args.shots
                screenshot(os.path.join(self.work, f"shot-{now - began:05.0f}.png"))
            if now - last_report >= 60:
                last_report = now
                log(f"{now - began:.0f} s: {self.counts['inputs']} inputs, {self.counts['faults']} fault switches, "
                    f"slowest probe answer {self.watch.worst * 1000:.0f} ms")
            time.sleep(self.rng.uniform(0.03, 0.35))
        self.finish()

    def finish(self):
        # Healthy box, then the program must still answer and close within its limits.
        if self.box is None:
            self.start_box()
        self.box_control("clear=1")
        self.check_app()
        for _ in range(3):
            run_x(["key", "--clearmodifiers", "Escape"])  # out of full screen, a message box
            time.sleep(0.3)
        self.check_app()
        worst, worst_wall = self.watch.worst, self.watch.worst_wall
        self.end_segment()
        finding, growth = growth_verdict(max(self.segments, key=len))
        log(growth)
        log(f"slowest probe answer {worst * 1000:.0f} ms of the program's own time ({worst_wall * 1000:.0f} ms on the clock)")
        self.close_app()
        if finding:
            raise Finding(finding)

    def close_app(self):
        """The window's own close button: the program must end within its limits (a request still
        waiting ends first), and cleanly."""
        for _ in range(3):
            if self.app.proc.poll() is not None:
                break
            # A dialog or message box left open, or full screen, hides or blocks the button: a
            # person would put them away first.
            main = self.app.window_id()
            for wid, *_ in self.windows():
                if wid != main:
                    run_x(["windowfocus", "--sync", wid])
                    run_x(["key", "--clearmodifiers", "Escape"])
            if main:
                # The remote or a popup may lie over the caption; a person brings the frame forward.
                run_x(["windowraise", main])
                run_x(["windowfocus", "--sync", main])
            if self.app.ask("message"):
                run_x(["key", "--clearmodifiers", "Return"])
            if self.app.state().get("fullScreen") == "1":
                run_x(["key", "--clearmodifiers", "Escape"])
                time.sleep(0.5)
            answer = self.app.ask("widget closeButton")
            if answer and answer.endswith(" 1"):
                x, y, w, h, _ = (int(v) for v in answer.split())
                self.click((x + w // 2, y + h // 2))
            try:
                self.app.proc.wait(20)
            except subprocess.TimeoutExpired:
                pass
        rc = self.app.proc.poll()
        if rc is None:
            self.keep_evidence()
            raise Finding("the program did not end after its close button, three times")
        if rc < 0:
            raise Finding(f"the program ended by signal {-rc} while closing")
        text = self.output()
        for mark in SANITIZER_MARKS:
            if mark in text:
                raise Finding(f"sanitizer report while closing: {mark}")

    def cleanup(self):
        if self.watch:
            self.watch.stop.set()
        if self.app:
            self.app.kill()
        if self.box:
            self.box.stop()


def in_sandbox(args):
    """Starts this script again inside a private network namespace and a virtual X server."""
    command = [os.path.join(ROOT, "tools", "netns-run"), "xvfb-run", "-a", "-s",
               f"-screen 0 {SCREEN[0]}x{SCREEN[1]}x24", sys.executable, os.path.abspath(__file__), *sys.argv[1:]]
    if "--seed" not in sys.argv[1:]:
        command += ["--seed", str(args.seed)]
    os.execv(command[0], command)


def main():
    p = argparse.ArgumentParser(description="random valid input against the demo box with faults")
    p.add_argument("--binary", required=True, help="the kelvo program (a sanitizer build)")
    p.add_argument("--demobox", help="kelvo-demobox (default: next to the binary's build)")
    p.add_argument("--seconds", type=float, default=60)
    p.add_argument("--seed", type=int, default=None)
    p.add_argument("--shots", type=float, default=0, help="a screen grab every so many seconds, into the run's folder")
    p.add_argument("--out", help="folder for the program's output and the box log (kept on a finding)")
    args = p.parse_args()
    if args.seed is None:
        args.seed = int.from_bytes(os.urandom(4), "little")
    if args.demobox is None:
        build = os.path.dirname(os.path.dirname(os.path.abspath(args.binary)))
        args.demobox = os.path.join(build, "tools", "demobox", "kelvo-demobox")
    if os.environ.get("KELVO_IN_NETNS") != "1" or not os.environ.get("DISPLAY"):
        in_sandbox(args)
    log(f"seed {args.seed}, {args.seconds:.0f} s, {args.binary}")
    keep = args.out is not None
    args.work = args.out or tempfile.mkdtemp(prefix="kelvo-monkey.")
    if keep:
        shutil.rmtree(args.work, ignore_errors=True)
        os.makedirs(args.work)
    monkey = Monkey(args)
    verdict, status = "PASS", 0

    def overran(*_):
        raise TimeoutError(f"the run overran its {args.seconds:.0f} s by five minutes")
    # Start-up, warm-up and closing have limits of their own; this bounds what they do not foresee.
    signal.signal(signal.SIGALRM, overran)
    signal.alarm(int(args.seconds) + 300)
    try:
        monkey.run()
    except Finding as finding:
        verdict, status = f"FAIL: {finding}", 1
    except (JourneyError, OSError) as error:
        traceback.print_exc()
        verdict, status = f"could not run: {error}", 2
    finally:
        monkey.cleanup()
    c = monkey.counts
    log(f"seed {args.seed}: {c['inputs']} inputs, {c['faults']} fault switches ({c['box-off']} box off), "
        f"{c['restarts']} restarts")
    if status:
        tail = monkey.output()[-6000:]
        if tail:
            print("---- program output (last part) ----\n" + tail, flush=True)
        log(f"the run's folder: {args.work} (replay: --seed {args.seed})")
    elif not keep:
        shutil.rmtree(args.work, ignore_errors=True)
    print(f"monkey verdict: {verdict}", flush=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
