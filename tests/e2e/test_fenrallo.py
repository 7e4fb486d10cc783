#!/usr/bin/python3
"""End-to-end tests of the real Fenrallo1.0.exe under Wine, driven from outside as a user would:
files are dropped from X11 with XDND, buttons and message boxes are clicked with the X pointer,
and results are read from the window (through the probe) and from the disk. Layout, styles,
focus and single window messages are proven in-process by tests/win32; the cases here keep to
what needs the whole program and the real desktop around it.

Run inside tools/with-wine (CTest does this through the mingw-i686 preset); started bare, the
script re-runs itself there. Each case works in folders of its own; each test class starts the
program as few times as its cases allow, because every start of a Windows program costs time.
"""

import argparse
import os
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import harness  # noqa: E402
from harness import (ERROR_TITLE, INITIAL_LOG, MOVE_TO_DEFAULT, MOVE_TO_TARGET,  # noqa: E402
                     NO_SOURCE, NO_TARGET, OPEN_DEFAULT, make_file, moved_log, received_log,
                     wait_until)

CTX = None
TIMINGS = []


def note_timing(line):
    TIMINGS.append(line)
    print(f"\n[timing] {line}", flush=True)


def after_moves(before, moves):
    """What the disk must hold after the given entries (keys as in harness.fingerprint) moved to
    their new names: the same contents under new names, nothing else changed."""
    expected = {}
    for key, digest in before.items():
        for old, new in moves.items():
            if key == old or key.startswith(old + "/"):
                key = new + key[len(old):]
                break
        expected[key] = digest
    return expected


class FenralloCase(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.class_started = time.monotonic()

    @classmethod
    def tearDownClass(cls):
        note_timing(f"{cls.__name__}: {time.monotonic() - cls.class_started:.1f} s")

    def start(self, folder=None, plant=()):
        if folder is None:
            folder = os.path.join(CTX.fresh_folder("程序"), "测试 目录")
        app = harness.Fenrallo(CTX, folder, plant)
        self.addCleanup(app.close)
        return app

    def win(self, path):
        return CTX.drives.windows_path(path)

    def expect_warning(self, app, prompt):
        dialog = app.dialog(timeout=10)
        self.assertIsNotNone(dialog, f"no message box saying {prompt}")
        self.assertEqual((dialog["title"], dialog["texts"]), (ERROR_TITLE, [prompt]))
        app.dismiss(dialog)
        self.assertIsNone(app.dialog(), "the box must close with its OK button")

    def click_and_wait_for_log(self, app, button, before):
        app.click(button)
        wait_until(lambda: app.log() != before, 20)
        after = app.log()
        self.assertNotEqual(after, before, f"{button}: the run log did not change")
        self.assertIsNone(app.dialog(), f"{button}: unexpected message box")
        return after


class TestStartUp(FenralloCase):
    def test_caption_names_the_program_folder_and_closing_ends_the_program(self):
        rows = [
            ("folder with spaces and Chinese",
             os.path.join(CTX.fresh_folder("程序"), "测试 目录")),
            ("folder deeper than 260 characters",
             os.path.join(CTX.fresh_folder("深"), *["程序 目录 " + "d" * 60] * 4)),
        ]
        for label, folder in rows:
            with self.subTest(label):
                app = self.start(folder)
                directory = self.win(folder)
                self.assertEqual(app.caption(), "Fenrallo" + directory)
                self.assertEqual([c.text for c in app.controls if c.text.startswith("默认目录：")],
                                 ["默认目录： " + directory])
                self.assertEqual(app.log(), INITIAL_LOG)
                self.assertEqual((app.items(app.list1), app.items(app.list2)), ([], []))
                CTX.probe.ask("close", app.hwnd)
                self.assertTrue(app.ended_within(10), "closing the window must end the program")


class TestSourceListDrops(FenralloCase):
    NAMES = {"A": "A 甲.txt", "B": "B 乙😀.txt", "C": "C 丙.txt", "D": "D 丁 🗂.txt"}
    # Each row: the drops in order (letters name files) and the list that must result.
    ROWS = [
        ("into an empty list", ["ABC"], "ABC"),
        ("new paths go on top in drop order", ["AB", "CD"], "CDAB"),
        ("a listed path is skipped, later ones keep their drop position", ["AB", "CAD"], "CADB"),
        ("the same path twice in one drop: the later copy is skipped", ["ABAC"], "ABC"),
    ]

    def test_drop_intake(self):
        for label, drops, expected in self.ROWS:
            with self.subTest(label):
                case = CTX.fresh_folder("拖放")
                paths = {k: make_file(os.path.join(case, n)) for k, n in self.NAMES.items()}
                with self.start() as app:
                    for drop in drops:
                        app.drop(app.list1, [paths[k] for k in drop])
                    want = [self.win(paths[k]) for k in expected]
                    self.assertEqual(app.items(app.list1), want)
                    self.assertEqual(app.log(), received_log(len(want)))
                    self.assertEqual(app.items(app.list2), [])
                    if label.startswith("a listed path"):
                        CTX.screenshot("e2e-drops.png")


class TestMoveToDefaultDirectory(FenralloCase):
    def test_moves_every_entry_then_warns_once_the_first_is_gone(self):
        case = CTX.fresh_folder("默认")
        src = os.path.join(case, "源 文件")
        # The second one lies deep enough for a path over 260 characters.
        deep = os.path.join(src, *["子 目录 " + "长" * 40] * 5)
        files = [make_file(os.path.join(src, "甲 1.txt")),
                 make_file(os.path.join(deep, "乙 😀.txt")),
                 make_file(os.path.join(src, "丙.bin"), "三" * 5000)]
        app = self.start(os.path.join(case, "程序 目录"))
        before = harness.fingerprint(case)
        app.drop(app.list1, files)
        listed = app.items(app.list1)
        self.assertGreater(len(listed[1]), 260)
        self.click_and_wait_for_log(app, MOVE_TO_DEFAULT, app.log())
        self.assertEqual(app.log(), "以下为任务执行信息：\r\n\r\n当前共接收 3 个文件本次共移动3个文件")
        moves = {f"源 文件/{os.path.relpath(f, src)}":
                 f"程序 目录/{os.path.basename(f)}" for f in files}
        self.assertEqual(harness.fingerprint(case), after_moves(before, moves))
        self.assertEqual(app.items(app.list1), listed, "moved entries stay listed")

        moved = harness.fingerprint(case)
        log = app.log()
        app.click(MOVE_TO_DEFAULT)
        self.expect_warning(app, NO_SOURCE)
        self.assertEqual((app.log(), harness.fingerprint(case)), (log, moved))

    def test_counts_only_the_entries_that_really_moved(self):
        # A folder moves as a whole; a name already in the program folder stays where it was;
        # an entry deleted before the click is attempted but not counted.
        case = CTX.fresh_folder("计数")
        program = os.path.join(case, "程序 目录")
        src = os.path.join(case, "源")
        paths = [make_file(os.path.join(src, "在.txt")), os.path.join(src, "文件夹"),
                 make_file(os.path.join(src, "同名 😀.txt")), make_file(os.path.join(src, "不在.txt"))]
        make_file(os.path.join(paths[1], "里面.txt"))
        app = self.start(program)
        make_file(os.path.join(program, "同名 😀.txt"), "already here")
        app.drop(app.list1, paths)
        os.remove(paths[3])
        before = harness.fingerprint(case)
        self.click_and_wait_for_log(app, MOVE_TO_DEFAULT, app.log())
        self.assertEqual(app.log(), received_log(4) + moved_log(2))
        moves = {f"源/{n}": f"程序 目录/{n}" for n in ["在.txt", "文件夹"]}
        self.assertEqual(harness.fingerprint(case), after_moves(before, moves))


class TestMoveToTargetDirectory(FenralloCase):
    def test_no_target_warns_and_moves_nothing(self):
        case = CTX.fresh_folder("无目标")
        files = [make_file(os.path.join(case, n)) for n in ["一.txt", "二.txt"]]
        app = self.start(os.path.join(case, "程序 目录"))
        app.drop(app.list1, files)
        before = harness.fingerprint(case)
        app.click(MOVE_TO_TARGET)
        self.expect_warning(app, NO_TARGET)
        self.assertEqual(app.log(), received_log(2), "the warning leaves the log untouched")
        self.assertEqual(harness.fingerprint(case), before)

    def test_moves_into_the_newest_target_and_counts_only_real_moves(self):
        case = CTX.fresh_folder("指定")
        src = os.path.join(case, "源")
        target = os.path.join(case, "目标 目录")
        entries = [os.path.join(src, "文件夹"),
                   *(make_file(os.path.join(src, n)) for n in ["A 甲.txt", "B 乙.txt", "C 😀.txt"])]
        make_file(os.path.join(entries[0], "里 面.txt"))
        make_file(os.path.join(target, "B 乙.txt"), "the one already at the target")
        older = [os.path.join(case, n) for n in ["旧", "次"]]
        for folder in older:
            os.makedirs(folder)
        app = self.start(os.path.join(case, "程序 目录"))
        app.drop(app.list1, entries)
        log = app.log()
        # Each drop goes on top in drop order, so the first path of the newest drop is the target.
        app.drop(app.list2, [older[0]])
        app.drop(app.list2, [target, older[1]])
        self.assertEqual(app.items(app.list2), [self.win(p) for p in [target, *older[::-1]]])
        self.assertEqual(app.log(), log, "a drop on the target list leaves the run log alone")
        before = harness.fingerprint(case)
        self.click_and_wait_for_log(app, MOVE_TO_TARGET, app.log())
        self.assertEqual(app.log(), received_log(4) + moved_log(3))
        moves = {f"源/{n}": f"目标 目录/{n}" for n in ["文件夹", "A 甲.txt", "C 😀.txt"]}
        after = harness.fingerprint(case)
        self.assertEqual(after, after_moves(before, moves))

        # Again: every attempt fails now, nothing changes, and the log says so back to back.
        self.click_and_wait_for_log(app, MOVE_TO_TARGET, app.log())
        self.assertEqual(app.log(), received_log(4) + moved_log(3) + moved_log(0))
        self.assertEqual(harness.fingerprint(case), after)


class TestOpenDefaultDirectory(FenralloCase):
    """Runs last: Wine's desktop process may take other windows with it once its last
    file-manager window is gone."""

    def test_opens_the_program_folder_and_never_a_planted_explorer(self):
        app = self.start(plant=[("explorer.exe", CTX.planted_exe)])
        case_file = make_file(os.path.join(CTX.fresh_folder("打开"), "留.txt"))
        app.drop(app.list1, [case_file])
        state = (app.caption(), app.items(app.list1), app.items(app.list2), app.log())
        marker = os.path.join(app.folder, "planted-explorer-ran.txt")
        windows_before = {w["hwnd"] for w in CTX.probe.ask("toplevels")["windows"]}
        app.click(OPEN_DEFAULT)

        folder_name = os.path.basename(app.folder)

        def file_manager_window():
            for w in CTX.probe.ask("toplevels")["windows"]:
                if w["hwnd"] not in windows_before and folder_name in w["title"]:
                    return w
            return None

        window = wait_until(file_manager_window, 60, interval=0.2)
        self.assertIsNotNone(window, f"no new window titled after {folder_name!r}: "
                             f"{CTX.probe.ask('toplevels')['windows']}")
        self.assertNotEqual(window["pid"], app.window["pid"])
        CTX.screenshot("e2e-explorer.png")
        time.sleep(1.0)
        self.assertFalse(os.path.exists(marker), "the planted explorer.exe was started")
        self.assertEqual((app.caption(), app.items(app.list1), app.items(app.list2), app.log()),
                         state)
        self.assertIsNone(app.dialog())
        app.close()
        CTX.probe.try_ask("close", window["hwnd"])


class TestBulkDrop(FenralloCase):
    """Thousands of paths dropped onto thousands of entries. Durations are printed and kept in
    e2e-timings.txt, never asserted: Wine's speed is not the program's."""

    FIRST = 5000
    SECOND = 5000

    def test_thousands_onto_thousands(self):
        case = CTX.fresh_folder("大量")
        made = time.monotonic()
        names = [os.path.join(case, f"entry {i:05d} 文件.txt") for i in range(self.FIRST * 2)]
        for name in names:
            with open(name, "wb"):
                pass
        first = names[:self.FIRST]
        # Every other path of the second drop is listed already, the rest are new.
        second = [names[i // 2] if i % 2 == 0 else names[self.FIRST + i]
                  for i in range(self.SECOND)]
        app = self.start()
        note_timing(f"program start {app.start_seconds:.2f} s; {len(names)} files made in "
                    f"{time.monotonic() - made:.2f} s")

        expected = []
        for label, drop in [("onto an empty list", first), ("onto the listed ones", second)]:
            listed = len(expected)
            started = time.monotonic()
            answer = app.drop(app.list1, drop)
            took = time.monotonic() - started
            note_timing(f"drop of {len(drop)} paths ({answer['bytes']} bytes of uri-list) "
                        f"{label} ({listed} entries): {took:.2f} s until handled")
            expected = self.drop_into(expected, [self.win(p) for p in drop])

        started = time.monotonic()
        items = app.items(app.list1)
        note_timing(f"reading {len(items)} entries back through the probe: "
                    f"{time.monotonic() - started:.2f} s")
        self.assertEqual(items, expected)
        self.assertEqual(app.log(), received_log(len(expected)))

    @staticmethod
    def drop_into(entries, drop):
        """The intake rule at scale: each new path goes in at its position within the drop."""
        result = list(entries)
        listed = set(entries)
        for position, path in enumerate(drop):
            if path not in listed:
                listed.add(path)
                result.insert(position, path)
        return result


ORDER = [TestStartUp, TestSourceListDrops, TestMoveToDefaultDirectory, TestMoveToTargetDirectory,
         TestBulkDrop, TestOpenDefaultDirectory]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True, help="Fenrallo1.0.exe to test")
    parser.add_argument("--probe", required=True, help="the probe exe")
    parser.add_argument("--planted", required=True, help="the stand-in explorer.exe")
    parser.add_argument("--artifacts", default=".", help="folder for screenshots and timings")
    args, rest = parser.parse_known_args()

    if not all(os.environ.get(v) for v in ("WINEPREFIX", "DISPLAY", "FENRALLO_WINE_WORK")):
        with_wine = os.path.join(HERE, "..", "..", "tools", "with-wine")
        os.execv(with_wine, [with_wine, sys.executable] + sys.argv)
    for path in (args.exe, args.probe, args.planted):
        if not os.path.isfile(path):
            sys.exit(f"missing {path}: build the mingw-i686 preset first")

    global CTX
    os.makedirs(args.artifacts, exist_ok=True)
    CTX = harness.Context(os.path.abspath(args.exe), os.path.abspath(args.probe),
                          os.path.abspath(args.planted), os.path.abspath(args.artifacts))
    started = time.monotonic()
    try:
        loader = unittest.TestLoader()
        names = set(rest)
        suite = unittest.TestSuite(loader.loadTestsFromTestCase(c) for c in ORDER
                                   if not names or c.__name__ in names)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    finally:
        CTX.close()
    note_timing(f"whole end-to-end run: {time.monotonic() - started:.1f} s")
    with open(os.path.join(args.artifacts, "e2e-timings.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(TIMINGS) + "\n")
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
