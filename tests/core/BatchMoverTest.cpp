// The two move commands, the undo and the folder opener: their preconditions and warnings, the
// destination of every entry, a batch that is what the lists were at the click, a log that
// counts only the entries that really moved, and an undo of exactly what the last batch moved.
#include "ops/BatchMover.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>

#include "fakes/FakePlatform.h"
#include "ops/DefaultDirectoryOpener.h"

namespace fenrallo {
namespace {

using Kind = fake::FakePlatform::Kind;
using Calls = std::vector<fake::Call>;

struct Fixture {
    fake::FakePlatform platform;
    fake::FakeBatchRunner runner;
    fake::FakeListBox sourceBox, targetBox;
    fake::FakeTextBox logBox;
    RunLog log{logBox};
    SourceList sources{sourceBox, log};
    TargetList targets{targetBox};
    BatchMover mover{platform, runner, sources, targets, log};

    void list(const Text& path, Kind kind = Kind::File)
    {
        sourceBox.items.push_back(path);
        platform.entries[path] = kind;
    }
    void click(bool toDefault)
    {
        toDefault ? mover.moveToDefaultDirectory() : mover.moveToSpecifiedDirectory();
    }
};

TEST(BatchMover, EachEntryGoesUnderItsOwnNameWhereTheListsSaidAtTheClickAndTheOpenerQuotesIt)
{
    // The program directory for 移至默认目录 and the top target for 移至指定目录; an entry; where
    // it goes.
    // clang-format off
    const std::tuple<Text, Text, Text> cases[] = {
        {L"D:\\Tools", L"C:\\in\\a.txt", L"D:\\Tools\\a.txt"}, {L"Q:\\", L"C:\\in\\a.txt", L"Q:\\\\a.txt"}, {L"D:\\Tools", L"a.txt", L"D:\\Tools\\a.txt"},
        {L"D:\\Tools", L"C:\\dir\\", L"D:\\Tools\\"}, {L"D:\\Tools", L"C:/a\\b/c.txt", L"D:\\Tools\\b/c.txt"}, {L"D:\\目标 😀", L"C:\\源\\文件 😀.txt", L"D:\\目标 😀\\文件 😀.txt"},
    };
    // clang-format on
    for (const auto& [directory, entry, destination] : cases) {
        for (const bool toDefault : {true, false}) {
            Fixture f;
            f.runner.holding = true;
            f.list(entry);
            f.targetBox.items = {directory, L"C:\\older target"};
            f.platform.programDirectory = toDefault ? directory : L"D:\\elsewhere";
            f.click(toDefault);
            // Whatever changes or is clicked while the batch runs belongs to no batch.
            f.targetBox.items = {L"E:\\later"};
            f.platform.programDirectory = L"E:\\later";
            f.sourceBox.items.clear();
            f.click(true);
            f.click(false);
            f.runner.finish();
            // 打开默认目录 hands the file manager the program directory, quoted.
            DefaultDirectoryOpener(f.platform).openDefaultDirectory();
            EXPECT_EQ(std::tuple(f.platform.moves, f.platform.warnings, f.logBox.content,
                                 f.platform.launches),
                      std::tuple(Calls{{entry, destination}}, Calls{},
                                 Text(L"程序运行信息：本次共移动1个文件"),
                                 TextList{L"explorer \"E:\\later\" "}))
                << destination << (toDefault ? " default" : " target");
        }
    }
}

TEST(BatchMover, WarningsEndTheCommandBeforeAnythingMoves)
{
    const fake::Call missingSource{L"原始文件未找到!", L"程序运行错误"};
    // 移至默认目录 or not; the first entry listed, if any; a target listed or not; the warning.
    // clang-format off
    const std::tuple<bool, std::optional<Kind>, bool, std::optional<fake::Call>> cases[] = {
        {true, {}, true, missingSource}, {false, {}, false, missingSource}, {true, Kind::Folder, true, missingSource},
        {true, Kind::File, true, {}}, {false, Kind::Folder, true, {}}, {false, Kind::File, false, fake::Call{L"目标地址未指定!", L"程序运行错误"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto& [toDefault, first, haveTarget, warning] = c;
        Fixture f;
        if (first) {
            f.list(L"C:\\in\\first", *first);
            f.list(L"C:\\in\\second.txt");
        }
        f.targetBox.items = haveTarget ? TextList{L"E:\\out"} : TextList{};
        f.click(toDefault);
        EXPECT_EQ((std::tuple{f.platform.warnings, f.platform.moves.size(), f.logBox.content}),
                  (std::tuple{warning ? Calls{*warning} : Calls{}, warning ? 0U : 2U,
                              warning ? L"程序运行信息：" : L"程序运行信息：本次共移动2个文件"}));
    }
}

TEST(BatchMover, TheLogCountsWhatReallyMovedEachEntryKeepsWhyItStayedAndTheUndoTakesBackOnlyThat)
{
    using Marks = std::map<Text, EntryMark>;
    using enum EntryMark::State;
    constexpr EntryMark m{Moved, 0}, gone{Stayed, fake::FakePlatform::kNotFound};
    constexpr EntryMark taken{Stayed, fake::FakePlatform::kExists},
        self{Stayed, kReasonMovedOntoItself}, notBack{Moved, kReasonNotTheFileMoved};
    const Text e = L"D:\\T\\e";
    // What happens between a batch (of a, b, c, d, e, which moves a and d: b's name is taken,
    // c is gone, e is where it would go) and the undo; the marks then; the undo's moves; how many
    // of them succeed (-1: nothing to undo); the marks after.
    // clang-format off
    const std::tuple<const char*, void (*)(Fixture&), Marks, Calls, int, Marks> cases[] = {
        {"a drop on top, b removed", [](Fixture& f) { f.platform.entries[L"x"] = Kind::File;
             f.sources.onDrop({L"x"}); f.sourceBox.selection = 2; f.sources.onDoubleClick(); },
         {{L"a", m}, {L"c", gone}, {L"d", m}, {e, self}}, {{L"D:\\T\\d", L"d"}, {L"D:\\T\\a", L"a"}}, 2,
         {{L"c", gone}, {e, self}}},
        {"another file under a's new name", [](Fixture& f) { f.platform.entries[L"D:\\T\\a"] = Kind::File; },
         {{L"a", m}, {L"b", taken}, {L"c", gone}, {L"d", m}, {e, self}}, {{L"D:\\T\\d", L"d"}, {L"D:\\T\\a", L"a"}}, 1,
         {{L"a", notBack}, {L"b", taken}, {L"c", gone}, {e, self}}},
        {"a batch that moved nothing", [](Fixture& f) { f.click(false); },
         {{L"a", gone}, {L"b", taken}, {L"c", gone}, {L"d", gone}, {e, self}}, {}, -1,
         {{L"a", gone}, {L"b", taken}, {L"c", gone}, {L"d", gone}, {e, self}}},
        {"a batch that moved f", [](Fixture& f) { f.list(L"f"); f.click(false); },
         {{L"a", gone}, {L"b", taken}, {L"c", gone}, {L"d", gone}, {e, self}, {L"f", m}}, {{L"D:\\T\\f", L"f"}}, 1,
         {{L"a", gone}, {L"b", taken}, {L"c", gone}, {L"d", gone}, {e, self}}},
        {"a batch still running", [](Fixture& f) { f.runner.holding = true; f.click(false); },
         {{L"a", m}, {L"b", taken}, {L"c", gone}, {L"d", m}, {e, self}}, {}, -1,
         {{L"a", m}, {L"b", taken}, {L"c", gone}, {L"d", m}, {e, self}}},
    };
    // clang-format on
    for (const auto& [between, meddle, marksBefore, undoMoves, undone, marksAfter] : cases) {
        SCOPED_TRACE(between);
        Fixture f;
        f.targetBox.items = {L"D:\\T"};
        for (const Text name : {L"a", L"b", L"c", L"d", L"D:\\T\\e"}) {
            f.list(name);
        }
        f.platform.entries[L"D:\\T\\b"] = Kind::File;  // already there: never replaced
        f.platform.entries.erase(L"c");                // vanished since the drop
        f.logBox.colours = {0};
        f.click(false);
        // The log counts only what moved, in red; every entry was tried and stays listed.
        EXPECT_EQ((std::tuple{f.platform.moves.size(), f.logBox.content, f.logBox.textColour(),
                              f.sourceBox.items.size()}),
                  (std::tuple{5U, L"程序运行信息：本次共移动2个文件", 255U, 5U}));
        meddle(f);
        EXPECT_EQ(std::tuple(f.sourceBox.marks, f.mover.canUndo()),
                  std::tuple(marksBefore, undone >= 0));
        f.platform.moves.clear();
        f.logBox.content.clear();
        f.sourceBox.textReads = 0;
        EXPECT_EQ(f.mover.undoLastBatch(), undone >= 0);
        EXPECT_EQ(
            (std::tuple{f.platform.moves, f.sourceBox.marks, f.logBox.content}),
            (std::tuple{undoMoves, marksAfter,
                        undone >= 0 ? L"本次共移动" + std::to_wstring(undone) + L"个文件" : L""}));
        // A list that has not changed since the batch is not read at all.
        EXPECT_LE(f.sourceBox.textReads,
                  &between == &std::get<0>(cases[0]) ? f.sourceBox.count() : 0);
        EXPECT_FALSE(f.mover.undoLastBatch() || f.mover.canUndo()) << "an undo forgets the batch";
    }
}

}  // namespace
}  // namespace fenrallo
