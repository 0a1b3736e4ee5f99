"""Drives the real kelvo program as a person would: X input through xdotool, screen grabs through
ffmpeg's x11grab, and a local probe socket (KELVO_PROBE) only to ask where things are and what
state the program is in. Runs inside tools/netns-run and xvfb-run; see CMakeLists.txt."""

import ctypes
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import urllib.request


class JourneyError(AssertionError):
    pass


def _die_with_parent():
    """A driver killed by its time limit must not leave the program or the box behind."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class DemoBox:
    def __init__(self, binary, work, extra=(), port=0):
        self.log = os.path.join(work, "box.log")
        self.out = open(os.path.join(work, "box.out"), "w+")
        self.proc = subprocess.Popen(
            [binary, "--port", str(port), "--log", self.log, *extra],
            stdout=self.out, stderr=subprocess.STDOUT)
        self.port = None
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            self.out.flush()
            with open(self.out.name) as f:
                for line in f:
                    if line.startswith("demobox listening on 127.0.0.1:"):
                        self.port = int(line.strip().rsplit(":", 1)[1])
            if self.port:
                return
            if self.proc.poll() is not None:
                break
            time.sleep(0.1)
        raise JourneyError("the demo box did not start: " + open(self.out.name).read())

    def requests(self, command=None):
        """Logged requests, or those that carry `command` among their "++"-joined commands."""
        if not os.path.exists(self.log):
            return []
        lines = open(self.log).read().splitlines()
        if command is None:
            return lines
        def commands(line):
            query = line.split("?", 1)[1] if "?" in line else ""
            query = query.split("=", 1)[1] if "=" in query else ""
            return [part.split("&", 1)[0] for part in query.split("++")]
        return [l for l in lines if command in commands(l)]

    def fault(self, query):
        urllib.request.urlopen(f"http://127.0.0.1:{self.port}/demobox/fault?{query}", timeout=5).read()

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class Kelvo:
    def __init__(self, binary, work, args=()):
        self.binary = binary
        self.work = work
        self.env = dict(os.environ)
        self.env["XDG_CONFIG_HOME"] = os.path.join(work, "config")
        self.env["XDG_RUNTIME_DIR"] = os.path.join(work, "runtime")
        self.env["KELVO_PROBE"] = os.path.join(work, "probe.sock")
        self.env["KELVO_DISCOVERY"] = "loopback"
        self.env.pop("QT_QPA_PLATFORM", None)
        os.makedirs(self.env["XDG_CONFIG_HOME"], exist_ok=True)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        self.args = list(args)
        self.proc = None

    def start(self, timeout=20):
        if os.path.exists(self.env["KELVO_PROBE"]):
            os.unlink(self.env["KELVO_PROBE"])
        self.out = open(os.path.join(self.work, "kelvo.out"), "a")
        self.proc = subprocess.Popen([self.binary, *self.args], env=self.env, stdout=self.out,
                                     stderr=subprocess.STDOUT, preexec_fn=_die_with_parent)
        wait_for(lambda: self.ask("state") is not None, timeout, "the program's probe")
        # The window manager is absent under Xvfb: give the frame the keyboard ourselves.
        wait_for(lambda: self.window_id() is not None, 10, "the main window")
        xdo("windowactivate", "--sync", self.window_id(), check=False)
        xdo("windowfocus", "--sync", self.window_id(), check=False)

    def ask(self, line):
        try:
            with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
                s.settimeout(5)
                s.connect(self.env["KELVO_PROBE"])
                s.sendall((line + "\n").encode())
                data = b""
                while not data.endswith(b"\n"):
                    chunk = s.recv(4096)
                    if not chunk:
                        break
                    data += chunk
                answer = data.decode().strip()
                return None if answer in ("", "error") else answer
        except OSError:
            return None

    def state(self):
        answer = self.ask("state") or ""
        return dict(kv.split("=", 1) for kv in answer.split() if "=" in kv)

    def geometry(self, name):
        answer = self.ask("widget " + name)
        if not answer:
            raise JourneyError("no widget named " + name)
        x, y, w, h, visible = (int(v) for v in answer.split())
        if not visible:
            raise JourneyError(name + " is not shown")
        return x, y, w, h

    def row(self, list_name, index):
        answer = self.ask(f"row {list_name} {index}")
        if not answer:
            raise JourneyError(f"no row {index} in {list_name}")
        return tuple(int(v) for v in answer.split())

    def window_id(self):
        r = subprocess.run(["xdotool", "search", "--pid", str(self.proc.pid), "--onlyvisible", "--name", "Kelvo"],
                           capture_output=True, text=True)
        ids = r.stdout.split()
        return ids[0] if ids else None

    def click(self, name, dx=None, dy=None, double=False):
        x, y, w, h = self.geometry(name)
        click_at(x + (w // 2 if dx is None else dx), y + (h // 2 if dy is None else dy), double)

    def close(self, timeout=20):
        self.click("closeButton")
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise JourneyError("the program did not end after being closed")

    def kill(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def xdo(*args, check=True):
    r = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    if check and r.returncode != 0:
        raise JourneyError("xdotool " + " ".join(args) + ": " + r.stderr)
    return r.stdout


def click_at(x, y, double=False):
    xdo("mousemove", "--sync", str(x), str(y))
    time.sleep(0.05)
    xdo("click", "--repeat", "2" if double else "1", "--delay", "80", "1")


def key(*names):
    for n in names:
        xdo("key", "--clearmodifiers", n)
        time.sleep(0.05)


def type_text(text):
    xdo("type", "--delay", "20", text)


def wait_for(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            if predicate():
                return
        except JourneyError:
            pass
        time.sleep(0.1)
    raise JourneyError("timed out waiting for " + what)


def screenshot(path):
    display = os.environ.get("DISPLAY", ":99")
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "x11grab", "-i", display, "-frames:v", "1", path],
                   check=True, timeout=20)
    return path


def region_stats(path, x, y, w, h):
    """Mean and spread of the grey levels of a region of a PNG, through ffmpeg (no image library
    is needed on the test machine)."""
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vf", f"crop={w}:{h}:{x}:{y},format=gray",
                          "-f", "rawvideo", "-"], capture_output=True, check=True, timeout=20).stdout
    if not raw:
        return 0.0, 0.0
    mean = sum(raw) / len(raw)
    spread = (sum((b - mean) ** 2 for b in raw[::7]) / max(1, len(raw[::7]))) ** 0.5
    return mean, spread


def region_bytes(path, x, y, w, h):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vf", f"crop={w}:{h}:{x}:{y},format=gray",
                           "-f", "rawvideo", "-"], capture_output=True, check=True, timeout=20).stdout
