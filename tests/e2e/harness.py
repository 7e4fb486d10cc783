"""What the end-to-end tests stand on: the probe inside Wine, one running copy of Fenrallo with
its controls found on screen, scratch files with their contents fingerprinted, and the mapping
from the Linux paths the tests make to the Windows paths the program sees.

Everything here talks to the program as a user's desktop would: files arrive by XDND drops,
buttons and message boxes are clicked with the X pointer, and the probe only reads what the
window shows and closes it when a test is done.
"""

import hashlib
import json
import os
import shutil
import subprocess
import time

import x11

HEADER = "以下为任务执行信息：\r\n"
INITIAL_LOG = "程序运行信息："
ERROR_TITLE = "程序运行错误"
NO_SOURCE = "原始文件未找到!"
NO_TARGET = "目标地址未指定!"
MOVE_TO_DEFAULT = "移至默认目录"
MOVE_TO_TARGET = "移至指定目录"
OPEN_DEFAULT = "打开默认目录"
EXE_NAME = "Fenrallo1.0.exe"


def received_log(count):
    return f"{HEADER}\r\n当前共接收 {count} 个文件"


def moved_log(count):
    return f"本次共移动{count}个文件"


def wait_until(condition, timeout, interval=0.05):
    """Polls condition() until it returns something true; returns the last value it gave."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


class ProbeError(Exception):
    pass


class Probe:
    """The probe exe, started once under Wine and asked one command per line."""

    def __init__(self, exe):
        self._process = subprocess.Popen(["wine", exe], stdin=subprocess.PIPE,
                                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def ask(self, *words):
        """Every wait in the probe is bounded, so an answer always comes."""
        self._process.stdin.write((" ".join(str(w) for w in words) + "\n").encode("ascii"))
        self._process.stdin.flush()
        line = self._process.stdout.readline()
        if not line:
            raise ProbeError("the probe ended")
        answer = json.loads(line)
        if not answer.get("ok"):
            raise ProbeError(f"{words[0]}: {answer.get('error')}")
        return answer

    def try_ask(self, *words):
        try:
            return self.ask(*words)
        except ProbeError:
            return None

    def close(self):
        if self._process.poll() is None:
            try:
                self._process.stdin.write(b"quit\n")
                self._process.stdin.flush()
                self._process.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self._process.kill()
                self._process.wait()


class Drives:
    """Where Wine's drives live on Linux, to predict the Windows path of a Linux path."""

    def __init__(self, prefix):
        self.roots = []
        devices = os.path.join(prefix, "dosdevices")
        for name in sorted(os.listdir(devices)):
            if len(name) == 2 and name[1] == ":":
                self.roots.append((os.path.realpath(os.path.join(devices, name)),
                                   name.upper()))
        # The deepest root wins: a file in Q:'s folder is also under Z:, and Wine names it Q:.
        self.roots.sort(key=lambda root: len(root[0]), reverse=True)

    def windows_path(self, linux_path):
        path = os.path.realpath(linux_path)
        for root, drive in self.roots:
            if path == root:
                return drive + "\\"
            if path.startswith(root.rstrip("/") + "/"):
                rest = path[len(root.rstrip("/")):]
                return drive + rest.replace("/", "\\")
        raise ValueError(f"{linux_path} is on no Wine drive")


def fingerprint(root):
    """Every file under root as relative path -> sha256 of its bytes, folders as 'dir'."""
    found = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs:
            found[os.path.relpath(os.path.join(folder, name), root)] = "dir"
        for name in files:
            with open(os.path.join(folder, name), "rb") as f:
                found[os.path.relpath(f.name, root)] = hashlib.sha256(f.read()).hexdigest()
    return found


def make_file(path, content=None):
    """A file with contents of its own (its path by default), so a mix-up changes a hash."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write((content if content is not None else "contents of " + path).encode("utf-8"))
    return path


class Control:
    def __init__(self, info):
        self.hwnd, self.text, self.rect = info["hwnd"], info["text"], info["rect"]
        self.cls = info["class"].lower()
        x, y, w, h = self.rect
        self.centre = (x + w // 2, y + h // 2)


class Fenrallo:
    """One running copy of the exe, in a folder of its own, seen through the probe."""

    def __init__(self, context, program_folder, plant=()):
        self.ctx = context
        self.folder = program_folder
        os.makedirs(program_folder, exist_ok=True)
        self.exe = os.path.join(program_folder, EXE_NAME)
        shutil.copyfile(context.exe, self.exe)
        for name, source in plant:
            shutil.copyfile(source, os.path.join(program_folder, name))
        # A copy from an earlier case may still be closing; its window must not be taken.
        known = [w["hwnd"] for w in context.probe.ask("toplevels")["windows"]
                 if w["title"].startswith("Fenrallo")]
        started = time.monotonic()
        # Started from elsewhere: the program must find its folder from its own file.
        self._process = subprocess.Popen(["wine", self.exe], cwd=context.scratch,
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
        try:
            self.window = context.probe.ask("main", 30000, *known)
        except ProbeError:
            self.close()
            raise
        self.start_seconds = time.monotonic() - started
        self.hwnd = self.window["hwnd"]
        self.controls = [Control(c) for c in self.window["controls"]]
        # List1 is the taller list box.
        lists = sorted((c for c in self.controls if c.cls == "listbox"), key=lambda c: -c.rect[3])
        edits = [c for c in self.controls if c.cls == "edit"]
        if len(lists) != 2 or len(edits) != 1:
            self.close()
            raise AssertionError(f"expected two list boxes and one text box: {self.window}")
        (self.list1, self.list2), self.text1 = lists, edits[0]

    # Reading ---------------------------------------------------------------------------------

    def caption(self):
        return self.ctx.probe.ask("text", self.hwnd)["text"]

    def log(self):
        return self.ctx.probe.ask("text", self.text1.hwnd)["text"]

    def items(self, control):
        return self.ctx.probe.ask("items", control.hwnd)["items"]

    def button(self, text):
        found = [c for c in self.controls if c.cls == "button" and c.text == text]
        if len(found) != 1:
            raise AssertionError(f"expected one button {text!r}, found {len(found)}")
        return found[0]

    def settle(self):
        """Returns once the window has handled everything sent to it so far."""
        self.ctx.probe.ask("sync", self.text1.hwnd, 30000)

    def dialog(self, timeout=0.0):
        return self.ctx.probe.try_ask("dialog", self.hwnd, int(timeout * 1000))

    def ended_within(self, seconds):
        try:
            self._process.wait(seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    # Acting ----------------------------------------------------------------------------------

    def _reachable(self, x, y, owner=None):
        """Fails clearly when another window (one left over by an earlier test, say) covers the
        point the pointer is about to act on."""
        owner = owner or self.hwnd
        root = self.ctx.probe.ask("at", x, y)["root"]
        if root != owner:
            covering = [w for w in self.ctx.probe.ask("toplevels")["windows"]
                        if w["hwnd"] == root]
            raise AssertionError(f"point {x},{y} belongs to another window: {covering}")
        return x, y

    def drop(self, control, linux_paths):
        """Drops the files on the control as a file manager would, and waits until the window
        has handled the drop."""
        x, y = self._reachable(*control.centre)
        answer = self.ctx.display.drop(list(linux_paths), x, y)
        if not answer["accepted"] or not answer["finished"]:
            raise AssertionError(f"drop on {control.cls} not taken: {answer}")
        self.settle()
        return answer

    def click(self, text):
        self.ctx.display.click(*self._reachable(*self.button(text).centre))

    def dismiss(self, dialog):
        """Presses the message box's OK button with the pointer."""
        ok = [b for b in dialog["buttons"] if b["id"] == 1]
        if len(ok) != 1:
            raise AssertionError(f"message box without one OK button: {dialog}")
        bx, by, bw, bh = ok[0]["rect"]
        self.ctx.display.click(*self._reachable(bx + bw // 2, by + bh // 2, dialog["hwnd"]))
        self.ctx.probe.ask("gone", dialog["hwnd"], 10000)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        if self._process.poll() is None:
            self.ctx.probe.try_ask("close", self.hwnd)
            try:
                self._process.wait(10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait()


class Context:
    """What every test class shares: the probe, the X display and a scratch folder."""

    def __init__(self, exe, probe_exe, planted_exe, artifacts):
        self.exe = exe
        self.planted_exe = planted_exe
        self.artifacts = artifacts
        self.work = os.environ["FENRALLO_WINE_WORK"]
        self.drives = Drives(os.environ["WINEPREFIX"])
        self.scratch = os.path.join(self.work, "e2e")
        os.makedirs(self.scratch, exist_ok=True)
        self.display = x11.Display()
        self.probe = Probe(probe_exe)
        self._serial = 0

    def fresh_folder(self, label):
        """A new empty folder for one case."""
        self._serial += 1
        path = os.path.join(self.scratch, f"{self._serial:03d} {label}")
        os.makedirs(path)
        return path

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name)
        subprocess.run(["import", "-window", "root", path], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def close(self):
        self.probe.close()
        self.display.close()
