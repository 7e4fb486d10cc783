#!/usr/bin/python3
"""End-to-end tests of the real Fenrallo1.0.exe under Wine, driven from outside as a user would:
files are dropped from X11 with XDND, buttons and list entries are clicked with the X pointer,
and results are read from the window (through the probe) and from the disk.

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

WS_MAXIMIZEBOX = 0x00010000
WS_MINIMIZEBOX = 0x00020000

CTX = None
TIMINGS = []


def note_timing(line):
    TIMINGS.append(line)
    print(f"\n[timing] {line}", flush=True)


def world_fingerprint(world):
    """Every file and folder under the named roots, keyed 'name/relative path'."""
    found = {}
    for name, root in world.items():
        for rel, digest in harness.fingerprint(root).items():
            found[f"{name}/{rel}"] = digest
    return found


def after_moves(before, moves):
    """What the disk must hold after the given entries (keys as in world_fingerprint) moved to
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

    def setUp(self):
        self.case_started = time.monotonic()

    def tearDown(self):
        took = time.monotonic() - self.case_started
        if took > 3:
            note_timing(f"{self._testMethodName}: {took:.1f} s")

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
        self.assertEqual(dialog["owner"], app.hwnd, "the box must belong to the main window")
        self.assertEqual([b["id"] for b in dialog["buttons"]], [1], "one OK button only")
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
    # Positions and sizes in twips from the client area's top-left corner; at 96 dots per inch
    # a pixel is 15 twips.
    LAYOUT = [
        ("static", "待处理文件列表：", (600, 120, 3855, 255)),
        ("listbox", "List1", (600, 480, 9015, 3120)),
        ("static", "默认目录就是程序运行目录", (9960, 1200, 1935, 855)),
        ("button", MOVE_TO_DEFAULT, (9960, 2880, 2055, 500)),
        ("static", "目标地址（支持拖放）：", (600, 3720, 3855, 255)),
        ("listbox", "List2", (600, 4080, 9015, 600)),
        ("button", MOVE_TO_TARGET, (9960, 4080, 2055, 500)),
        ("edit", INITIAL_LOG, (600, 5040, 9015, 735)),
        ("button", OPEN_DEFAULT, (9960, 5280, 2055, 500)),
        ("static", "Label3", (600, 6000, 11535, 375)),
    ]

    def test_caption_and_default_directory_line_name_the_program_folder(self):
        rows = [
            ("folder with spaces and Chinese",
             os.path.join(CTX.fresh_folder("程序"), "测试 目录")),
            ("drive root", CTX.drives.linux_root("Q:")),
            ("folder deeper than 260 characters",
             os.path.join(CTX.fresh_folder("深"), *["程序 目录 " + "d" * 60] * 4)),
        ]
        for label, folder in rows:
            with self.subTest(label):
                with self.start(folder) as app:
                    directory = self.win(folder)
                    self.assertEqual(app.caption(), "Fenrallo" + directory)
                    label3 = [c for c in app.controls if c.cls == "static"
                              and c.text.startswith("默认目录：")]
                    self.assertEqual([c.text for c in label3], ["默认目录： " + directory])
                    self.assertEqual(app.log(), INITIAL_LOG)
                    self.assertEqual((app.items(app.list1), app.items(app.list2)), ([], []))
                os.remove(app.exe)

    def test_controls_sit_where_the_layout_puts_them(self):
        app = self.start()
        ox, oy, width, height = app.window["client"]
        self.assertEqual((width, height), (12345 // 15, 6675 // 15))
        self.assertEqual(app.window["style"] & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0,
                         "no minimize and no maximize box")
        by_name = {"List1": app.list1, "List2": app.list2}
        for kind, name, twips in self.LAYOUT:
            with self.subTest(name):
                if name in by_name:
                    control = by_name[name]
                elif name == "Label3":
                    control = next(c for c in app.controls if c.text.startswith("默认目录："))
                else:
                    found = [c for c in app.controls if c.cls == kind and c.text == name]
                    self.assertEqual(len(found), 1, f"one {kind} reading {name}")
                    control = found[0]
                x, y, w, h = control.rect
                self.assertEqual(control.cls, kind)
                expected = tuple(round(t / 15) for t in twips)
                actual = (x - ox, y - oy, w, h)
                for got, want in zip(actual, expected):
                    self.assertLessEqual(abs(got - want), 1, f"{name}: {actual} != {expected}")

    def test_keyboard_focus_skips_the_run_log(self):
        app = self.start()
        names = {app.list1.hwnd: "List1", app.list2.hwnd: "List2", app.text1.hwnd: "Text1"}
        names.update({c.hwnd: c.text for c in app.controls if c.cls == "button"})

        def focus():
            state = CTX.probe.ask("focus", app.hwnd, app.text1.hwnd)
            return names.get(state["focus"], state["focus"])

        self.assertEqual(focus(), "List1", "the focus starts in List1")
        # Each row: what the user does, and where the focus must be afterwards.
        rows = [
            ("Tab", lambda: CTX.display.key("Tab"), MOVE_TO_DEFAULT),
            ("Tab", lambda: CTX.display.key("Tab"), "List2"),
            ("Tab", lambda: CTX.display.key("Tab"), MOVE_TO_TARGET),
            ("Tab", lambda: CTX.display.key("Tab"), OPEN_DEFAULT),
            ("Tab wraps", lambda: CTX.display.key("Tab"), "List1"),
            ("Shift+Tab", lambda: CTX.display.key("Shift_L", "Tab"), OPEN_DEFAULT),
            ("click on the run log", lambda: CTX.display.click(*app.text1.centre), OPEN_DEFAULT),
            ("double click on the run log",
             lambda: CTX.display.click(*app.text1.centre, count=2), OPEN_DEFAULT),
            ("typing after that", lambda: CTX.display.key("a"), OPEN_DEFAULT),
        ]
        for label, act, expected in rows:
            with self.subTest(label):
                act()
                wait_until(lambda: focus() == expected, 3)
                self.assertEqual(focus(), expected)
                state = CTX.probe.ask("focus", app.hwnd, app.text1.hwnd)
                self.assertEqual(state["selstart"], state["selend"], "nothing selected in it")
                self.assertEqual(app.log(), INITIAL_LOG)

    def test_closing_the_window_ends_the_program(self):
        def close_box(app):
            wx, wy, ww, _ = app.window_rect()
            cx, cy, _, _ = app.window["client"]
            border = cx - wx
            caption = cy - wy - border
            CTX.display.click(wx + ww - border - caption // 2, wy + border + caption // 2)

        rows = [("Alt+F4", lambda app: CTX.display.key("Alt_L", "F4")),
                ("the close box", close_box)]
        for label, close in rows:
            with self.subTest(label):
                with self.start() as app:
                    close(app)
                    self.assertTrue(app.ended_within(10), "the program is still running")

    def test_drops_outside_the_two_lists_change_nothing(self):
        case = CTX.fresh_folder("别处")
        dropped = make_file(os.path.join(case, "别处.txt"))
        app = self.start()
        ox, oy, width, height = app.window["client"]
        # Each row: where the files are let go.
        rows = [
            ("a label", next(c for c in app.controls if c.text == "待处理文件列表：").centre),
            ("a button", app.button(MOVE_TO_DEFAULT).centre),
            ("the run log", app.text1.centre),
            ("the bare form", (ox + width - 10, oy + height - 10)),
        ]
        for label, (x, y) in rows:
            with self.subTest(label):
                CTX.display.drop([dropped], x, y)
                app.settle()
                self.assertEqual((app.items(app.list1), app.items(app.list2), app.log()),
                                 ([], [], INITIAL_LOG))
                self.assertIsNone(app.dialog())

    def test_commands_on_an_empty_list_warn_and_leave_everything(self):
        app = self.start()
        before = harness.fingerprint(app.folder)
        rows = [(MOVE_TO_DEFAULT, NO_SOURCE), (MOVE_TO_TARGET, NO_SOURCE)]
        for button, prompt in rows:
            with self.subTest(button):
                app.click(button)
                self.expect_warning(app, prompt)
                self.assertEqual(app.log(), INITIAL_LOG)
        with self.subTest("double click on the empty list"):
            app.double_click_entry(app.list1, 0)
            app.settle()
            self.assertEqual(app.items(app.list1), [])
            self.assertIsNone(app.dialog())
        self.assertEqual(harness.fingerprint(app.folder), before)
        self.assertTrue(app.alive())


class TestSourceListDrops(FenralloCase):
    NAMES = {"A": "A 甲.txt", "B": "B 乙😀.txt", "C": "C 丙.txt", "D": "D 丁 🗂.txt",
             "a": "case.txt", "Aa": "Case.txt", "F": "子 文件夹", "G": "ɑβγ €.txt",
             "L": os.path.join(*["很长的目录名 " + "x" * 60] * 4, "末尾.txt")}
    # Each row: the drops in order (letters name files) and the list that must result.
    ROWS = [
        ("into an empty list", ["ABC"], "ABC"),
        ("new paths go on top in drop order", ["AB", "CD"], "CDAB"),
        ("a listed path is skipped, later ones keep their drop position", ["AB", "CAD"], "CADB"),
        ("the same path twice in one drop: the later copy is skipped", ["ABAC"], "ABC"),
        ("dropping listed files again adds nothing", ["AB", "BA"], "AB"),
        ("paths that differ only in letter case are both listed", [["a"], ["Aa"]], ["Aa", "a"]),
        ("folders and names beyond the code page are listed as they are", [["F", "G", "D"]],
         ["F", "G", "D"]),
        ("a path over 260 characters is listed whole", [["L", "A"]], ["L", "A"]),
    ]

    def test_drop_intake(self):
        for label, drops, expected in self.ROWS:
            with self.subTest(label):
                case = CTX.fresh_folder("拖放")
                paths = {}
                for key, name in self.NAMES.items():
                    path = os.path.join(case, name)
                    if key == "F":
                        os.makedirs(path)
                        make_file(os.path.join(path, "内 容.txt"))
                    else:
                        make_file(path)
                    paths[key] = path
                with self.start() as app:
                    for drop in drops:
                        app.drop(app.list1, [paths[k] for k in drop])
                    want = [self.win(paths[k]) for k in expected]
                    self.assertEqual(app.items(app.list1), want)
                    self.assertEqual(app.log(), received_log(len(want)))
                    self.assertEqual(app.items(app.list2), [])
                    if label.startswith("a listed path"):
                        CTX.screenshot("e2e-drops.png")

    def test_a_drop_on_the_target_list_leaves_the_source_list_and_log_alone(self):
        case = CTX.fresh_folder("目标")
        app = self.start()
        app.drop(app.list1, [make_file(os.path.join(case, "x.txt"))])
        log = app.log()
        app.drop(app.list2, [case])
        self.assertEqual(app.items(app.list1), [self.win(os.path.join(case, "x.txt"))])
        self.assertEqual(app.log(), log)


class TestDoubleClickRemoval(FenralloCase):
    def test_double_click_removes_the_entry_under_the_pointer(self):
        case = CTX.fresh_folder("双击")
        files = [make_file(os.path.join(case, n)) for n in ["一.txt", "二 😀.txt", "三.txt"]]
        app = self.start()
        app.drop(app.list1, files)
        log = app.log()
        names = [self.win(f) for f in files]
        # Each row: the entry double-clicked and the entries left.
        rows = [(1, [names[0], names[2]]), (1, [names[0]]), (0, [])]
        for index, left in rows:
            with self.subTest(index=index, left=len(left)):
                app.double_click_entry(app.list1, index)
                wait_until(lambda: app.items(app.list1) == left, 5)
                self.assertEqual(app.items(app.list1), left)
                self.assertEqual(app.log(), log, "a removal must not touch the run log")
        self.assertEqual(harness.fingerprint(case), {os.path.basename(f): harness.sha256(f)
                                                     for f in files})


class TestTargetList(FenralloCase):
    def test_each_drop_goes_on_top_in_drop_order(self):
        case = CTX.fresh_folder("目标")
        folders = {k: os.path.join(case, f"{k} 目录") for k in "FGH"}
        for path in folders.values():
            os.makedirs(path)
        a_file = make_file(os.path.join(case, "文件 as target.txt"))
        app = self.start()
        w = {k: self.win(p) for k, p in folders.items()}
        # Each row: one drop on List2 and the whole list after it.
        rows = [
            ("first target", [folders["H"]], [w["H"]]),
            ("F G onto H gives F G H", [folders["F"], folders["G"]], [w["F"], w["G"], w["H"]]),
            ("the same folder again is listed twice", [folders["G"]],
             [w["G"], w["F"], w["G"], w["H"]]),
            ("a file is taken as a target too", [a_file],
             [self.win(a_file), w["G"], w["F"], w["G"], w["H"]]),
        ]
        for label, drop, expected in rows:
            with self.subTest(label):
                app.drop(app.list2, drop)
                self.assertEqual(app.items(app.list2), expected)
                self.assertEqual(app.log(), INITIAL_LOG)
                self.assertEqual(app.items(app.list1), [])


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
        world = {"case": case}
        before = world_fingerprint(world)
        app.drop(app.list1, files)
        listed = app.items(app.list1)
        self.assertGreater(len(listed[1]), 260)
        self.click_and_wait_for_log(app, MOVE_TO_DEFAULT, app.log())
        self.assertEqual(app.log(), "以下为任务执行信息：\r\n\r\n当前共接收 3 个文件本次共移动3个文件")
        moves = {f"case/源 文件/{os.path.relpath(f, src)}":
                 f"case/程序 目录/{os.path.basename(f)}" for f in files}
        self.assertEqual(world_fingerprint(world), after_moves(before, moves))
        self.assertEqual(app.items(app.list1), listed, "moved entries stay listed")

        moved = world_fingerprint(world)
        log = app.log()
        app.click(MOVE_TO_DEFAULT)
        self.expect_warning(app, NO_SOURCE)
        self.assertEqual((app.log(), world_fingerprint(world)), (log, moved))

        # The log is rebuilt from its header by every drop, even of entries already listed.
        app.drop(app.list1, files)
        self.assertEqual((app.log(), app.items(app.list1)), (received_log(3), listed))

    def test_first_entry_that_is_no_ordinary_file_stops_the_batch(self):
        rows = [("a folder", "子 文件夹"), ("a hidden file", ".隐藏.txt")]
        for label, first in rows:
            with self.subTest(label):
                case = CTX.fresh_folder("默认")
                first_path = os.path.join(case, first)
                if first.startswith("."):
                    make_file(first_path)
                else:
                    make_file(os.path.join(first_path, "内.txt"))
                later = make_file(os.path.join(case, "普通.txt"))
                with self.start(os.path.join(case, "程序 目录")) as app:
                    before = world_fingerprint({"case": case})
                    app.drop(app.list1, [first_path, later])
                    app.click(MOVE_TO_DEFAULT)
                    self.expect_warning(app, NO_SOURCE)
                    self.assertEqual(app.log(), received_log(2))
                    self.assertEqual(world_fingerprint({"case": case}), before)

    def test_counts_only_the_entries_that_really_moved(self):
        # Each row: names to drop (a trailing slash makes a folder), a name already in the
        # program folder, a dropped name deleted before the click, and the names that move.
        rows = [
            ("a folder among the files moves as a whole", ["文件.txt", "文件夹/"], None, None,
             ["文件.txt", "文件夹"]),
            ("a name already in the program folder stays where it was",
             ["新.txt", "同名 😀.txt"], "同名 😀.txt", None, ["新.txt"]),
            ("an entry gone before the click is attempted but not counted",
             ["在.txt", "不在.txt", "也在.txt"], None, "不在.txt", ["在.txt", "也在.txt"]),
        ]
        for label, names, clash, gone, expected in rows:
            with self.subTest(label):
                case = CTX.fresh_folder("计数")
                program = os.path.join(case, "程序 目录")
                paths = []
                for name in names:
                    if name.endswith("/"):
                        path = os.path.join(case, "源", name.rstrip("/"))
                        make_file(os.path.join(path, "里面.txt"))
                    else:
                        path = make_file(os.path.join(case, "源", name))
                    paths.append(path)
                with self.start(program) as app:
                    if clash:
                        make_file(os.path.join(program, clash), "already here")
                    app.drop(app.list1, paths)
                    if gone:
                        os.remove(os.path.join(case, "源", gone))
                    world = {"case": case}
                    before = world_fingerprint(world)
                    self.click_and_wait_for_log(app, MOVE_TO_DEFAULT, app.log())
                    self.assertEqual(app.log(), received_log(len(names)) + moved_log(len(expected)))
                    moves = {f"case/源/{n}": f"case/程序 目录/{n}" for n in expected}
                    self.assertEqual(world_fingerprint(world), after_moves(before, moves))

    def test_program_at_a_drive_root_moves_into_the_root(self):
        root = CTX.drives.linux_root("Q:")
        case = CTX.fresh_folder("根")
        source = make_file(os.path.join(case, "到根 😀.txt"))
        digest = harness.sha256(source)
        app = self.start(root)
        self.addCleanup(lambda: os.path.exists(app.exe) and os.remove(app.exe))
        app.drop(app.list1, [source])
        self.click_and_wait_for_log(app, MOVE_TO_DEFAULT, app.log())
        self.assertEqual(app.log(), received_log(1) + moved_log(1))
        self.assertFalse(os.path.exists(source))
        self.assertEqual(harness.sha256(os.path.join(root, "到根 😀.txt")), digest)


class TestMoveToTargetDirectory(FenralloCase):
    def test_no_target_warns_and_moves_nothing(self):
        case = CTX.fresh_folder("无目标")
        files = [make_file(os.path.join(case, n)) for n in ["一.txt", "二.txt"]]
        app = self.start(os.path.join(case, "程序 目录"))
        app.drop(app.list1, files)
        before = world_fingerprint({"case": case})
        app.click(MOVE_TO_TARGET)
        self.expect_warning(app, NO_TARGET)
        self.assertEqual(app.log(), received_log(2), "the warning leaves the log untouched")
        self.assertEqual(world_fingerprint({"case": case}), before)

    def test_existing_file_at_the_destination_is_kept_and_not_counted(self):
        case = CTX.fresh_folder("指定")
        src = os.path.join(case, "源")
        target = os.path.join(case, "目标 目录")
        files = [make_file(os.path.join(src, n)) for n in ["A 甲.txt", "B 乙.txt", "C 😀.txt"]]
        make_file(os.path.join(target, "B 乙.txt"), "the one already at the target")
        app = self.start(os.path.join(case, "程序 目录"))
        world = {"case": case}
        app.drop(app.list1, files)
        app.drop(app.list2, [target])
        before = world_fingerprint(world)
        self.click_and_wait_for_log(app, MOVE_TO_TARGET, app.log())
        self.assertEqual(app.log(), received_log(3) + moved_log(2))
        moves = {f"case/源/{n}": f"case/目标 目录/{n}" for n in ["A 甲.txt", "C 😀.txt"]}
        after = world_fingerprint(world)
        self.assertEqual(after, after_moves(before, moves))

        # Again: every attempt fails now, nothing changes, and the log says so back to back.
        self.click_and_wait_for_log(app, MOVE_TO_TARGET, app.log())
        self.assertEqual(app.log(), received_log(3) + moved_log(2) + moved_log(0))
        self.assertEqual(world_fingerprint(world), after)

    def test_batches_into_the_current_target(self):
        # Each row: the entries (a trailing slash makes a folder), the drops on List2 as
        # folder names ('R:name' is a folder on another file system, 'Q:' a drive root), and
        # the folder that must receive them.
        rows = [
            ("a folder entry goes ahead and moves", ["文件夹/", "文件.txt"], [["目标"]], "目标"),
            ("the newest drop's first path is the target", ["文件.txt"],
             [["旧"], ["新", "次"]], "新"),
            ("a file crosses to another file system", ["跨卷 😀.txt", "另.bin"],
             [["R:跨"]], "R:跨"),
            ("a drive root as the target", ["到根目标 😀.txt"], [["Q:"]], "Q:"),
        ]
        for label, names, drops, receiver in rows:
            with self.subTest(label):
                case = CTX.fresh_folder("指定")
                other = CTX.fresh_folder("另一卷", drive="R:")
                world = {"case": case, "other": other, "q": CTX.drives.linux_root("Q:")}

                def place(name):
                    """The folder a name stands for, and its key in world_fingerprint."""
                    if name == "Q:":
                        return world["q"], "q"
                    if name.startswith("R:"):
                        return os.path.join(other, name[2:]), f"other/{name[2:]}"
                    return os.path.join(case, name), f"case/{name}"

                def folder(name):
                    return place(name)[0]

                for drop in drops:
                    for name in drop:
                        os.makedirs(folder(name), exist_ok=True)
                paths = []
                for name in names:
                    path = os.path.join(case, "源", name.rstrip("/"))
                    if name.endswith("/"):
                        make_file(os.path.join(path, "里 面.txt"))
                    else:
                        make_file(path)
                    paths.append(path)
                with self.start(os.path.join(case, "程序 目录")) as app:
                    app.drop(app.list1, paths)
                    for drop in drops:
                        app.drop(app.list2, [folder(n) for n in drop])
                    before = world_fingerprint(world)
                    self.click_and_wait_for_log(app, MOVE_TO_TARGET, app.log())
                    self.assertEqual(app.log(), received_log(len(names)) + moved_log(len(names)))
                    dest = place(receiver)[1]
                    moves = {f"case/源/{n.rstrip('/')}": f"{dest}/{n.rstrip('/')}" for n in names}
                    self.assertEqual(world_fingerprint(world), after_moves(before, moves))


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
        self.assertEqual(len(items), len(expected))
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


ORDER = [TestStartUp, TestSourceListDrops, TestDoubleClickRemoval, TestTargetList,
         TestMoveToDefaultDirectory, TestMoveToTargetDirectory, TestBulkDrop,
         TestOpenDefaultDirectory]


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
