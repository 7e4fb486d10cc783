// The move commands: their preconditions and warnings, the destination of every entry, and a
// log that counts only the entries that really moved.
#include "ops/BatchMover.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

using Kind = fake::FakePlatform::Kind;

const fake::Warning kMissingSource{L"原始文件未找到!", L"程序运行错误"};
const fake::Warning kMissingTarget{L"目标地址未指定!", L"程序运行错误"};

struct Fixture {
    fake::FakePlatform platform;
    fake::FakeListBox sourceBox;
    fake::FakeListBox targetBox;
    fake::FakeTextBox logBox;
    RunLog log{logBox};
    SourceList sources{sourceBox, log};
    TargetList targets{targetBox};
    BatchMover mover{platform, sources, targets, log};

    void list(const TextList& paths, Kind kind = Kind::File)
    {
        for (const Text& path : paths) {
            sourceBox.items.push_back(path);
            platform.entries[path] = kind;
        }
    }
};

TEST(LastPathComponent, TakesTheTextAfterTheLastBackslash)
{
    const std::pair<Text, Text> cases[] = {
        {L"C:\\in\\a.txt", L"a.txt"},
        {L"C:\\in\\sub\\b.doc", L"b.doc"},
        {L"plain.txt", L"plain.txt"},
        {L"C:\\", L""},
        {L"C:\\dir\\", L""},
        {L"C:/unix/style.txt", L"C:/unix/style.txt"},
        {L"C:\\a/b\\c/d", L"c/d"},
        {L"\\\\server\\share\\文件 😀.txt", L"文件 😀.txt"},
        {L"", L""},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(lastPathComponent(path), name) << path;
    }
}

TEST(BatchMover, EachEntryGoesIntoTheDirectoryUnderItsOwnName)
{
    struct Case {
        const char* name;
        Text directory;  // program directory for Command4, top target for Command5
        Text entry;
        Text destination;
    };
    const Case cases[] = {
        {"ordinary", L"D:\\Tools", L"C:\\in\\a.txt", L"D:\\Tools\\a.txt"},
        {"drive root doubles the backslash", L"Q:\\", L"C:\\in\\a.txt", L"Q:\\\\a.txt"},
        {"no backslash in the entry", L"D:\\Tools", L"a.txt", L"D:\\Tools\\a.txt"},
        {"entry ending in a backslash", L"D:\\Tools", L"C:\\dir\\", L"D:\\Tools\\"},
        {"unicode names", L"D:\\目标 😀", L"C:\\源\\文件 😀.txt", L"D:\\目标 😀\\文件 😀.txt"},
    };
    for (const Case& c : cases) {
        for (const bool toDefault : {true, false}) {
            Fixture f;
            f.list({c.entry});
            if (toDefault) {
                f.platform.programDirectory = c.directory;
                f.mover.moveToDefaultDirectory();
            } else {
                f.targetBox.items = {c.directory, L"C:\\older target"};
                f.mover.moveToSpecifiedDirectory();
            }
            const std::vector<fake::Move> expected{{c.entry, c.destination}};
            EXPECT_EQ(f.platform.moves, expected) << c.name << (toDefault ? " default" : " target");
        }
    }
}

TEST(BatchMover, DefaultMoveReportsOnlyWhatMoved)
{
    Fixture f;
    f.platform.programDirectory = L"D:\\Tools";
    f.list({L"C:\\in\\a.txt", L"C:\\in\\sub\\b.doc", L"C:\\in\\c.txt"});
    f.platform.entries[L"D:\\Tools\\b.doc"] = Kind::File;  // already there: never replaced
    f.platform.entries.erase(L"C:\\in\\c.txt");            // vanished since the drop

    f.mover.moveToDefaultDirectory();

    EXPECT_EQ(f.platform.moves.size(), 3U);
    EXPECT_EQ(f.logBox.content, L"程序运行信息：本次共移动1个文件");
    EXPECT_EQ(f.sourceBox.items.size(), 3U) << "moved entries stay listed";
    EXPECT_TRUE(f.platform.warnings.empty());
    EXPECT_GE(f.platform.directoryReads, 3) << "the directory is read for every entry";
}

TEST(BatchMover, ASecondClickFindsTheFirstFileGone)
{
    Fixture f;
    f.list({L"C:\\in\\a.txt", L"C:\\in\\b.txt"});
    f.mover.moveToDefaultDirectory();
    f.mover.moveToDefaultDirectory();
    EXPECT_EQ(f.platform.warnings, std::vector<fake::Warning>{kMissingSource});
    EXPECT_EQ(f.logBox.content, L"程序运行信息：本次共移动2个文件");

    f.targetBox.items = {L"E:\\out"};
    f.logBox.colour = 0;
    f.mover.moveToSpecifiedDirectory();
    EXPECT_EQ(f.logBox.colour, 255U) << "moving makes the log red again";
    f.mover.moveToSpecifiedDirectory();
    EXPECT_EQ(f.logBox.content,
              L"程序运行信息：本次共移动2个文件本次共移动0个文件本次共移动0个文件");
}

TEST(BatchMover, WarningsEndTheCommandBeforeAnythingMoves)
{
    struct Case {
        const char* name;
        Kind firstKind;
        bool listSomething;
        bool haveTarget;
        bool toDefault;
        std::vector<fake::Warning> warnings;
        std::size_t moves;
    };
    const Case cases[] = {
        {"default, empty list", Kind::File, false, true, true, {kMissingSource}, 0},
        {"target, empty list", Kind::File, false, true, false, {kMissingSource}, 0},
        {"target, empty list and no target", Kind::File, false, false, false, {kMissingSource}, 0},
        {"default, first is a folder", Kind::Folder, true, true, true, {kMissingSource}, 0},
        {"default, first is hidden", Kind::Hidden, true, true, true, {kMissingSource}, 0},
        {"default, first is a system file", Kind::System, true, true, true, {kMissingSource}, 0},
        {"default, first is read-only", Kind::ReadOnly, true, true, true, {}, 2},
        {"target, first is a folder", Kind::Folder, true, true, false, {}, 2},
        {"target, no target listed", Kind::File, true, false, false, {kMissingTarget}, 0},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.listSomething) {
            f.list({L"C:\\in\\first"}, c.firstKind);
            f.list({L"C:\\in\\second.txt"});
        }
        if (c.haveTarget) {
            f.targetBox.items = {L"E:\\out"};
        }
        c.toDefault ? f.mover.moveToDefaultDirectory() : f.mover.moveToSpecifiedDirectory();
        EXPECT_EQ(f.platform.warnings, c.warnings) << c.name;
        EXPECT_EQ(f.platform.moves.size(), c.moves) << c.name;
        const Text expectedLog =
            c.moves == 0 ? Text(L"程序运行信息：") : L"程序运行信息：本次共移动2个文件";
        EXPECT_EQ(f.logBox.content, expectedLog) << c.name;
    }
}

}  // namespace
}  // namespace fenrallo
