// The two move commands and the folder opener: their preconditions and warnings, the destination
// of every entry, a batch that is what the lists were at the click, and a log that counts only
// the entries that really moved.
#include "ops/BatchMover.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "ops/DefaultDirectoryOpener.h"

namespace fenrallo {
namespace {

using Kind = fake::FakePlatform::Kind;

const fake::Call kMissingSource{L"原始文件未找到!", L"程序运行错误"};
const fake::Call kMissingTarget{L"目标地址未指定!", L"程序运行错误"};

struct Fixture {
    fake::FakePlatform platform;
    fake::FakeBatchRunner runner;
    fake::FakeListBox sourceBox;
    fake::FakeListBox targetBox;
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

TEST(BatchMover, EachEntryGoesIntoTheDirectoryUnderItsOwnName)
{
    struct Case {
        Text directory;  // program directory for Command4, top target for Command5
        Text entry;
        Text destination;
    };
    const Case cases[] = {
        {L"D:\\Tools", L"C:\\in\\a.txt", L"D:\\Tools\\a.txt"},
        {L"Q:\\", L"C:\\in\\a.txt", L"Q:\\\\a.txt"},
        {L"D:\\Tools", L"a.txt", L"D:\\Tools\\a.txt"},
        {L"D:\\Tools", L"C:\\dir\\", L"D:\\Tools\\"},
        {L"D:\\Tools", L"C:/a\\b/c.txt", L"D:\\Tools\\b/c.txt"},
        {L"D:\\目标 😀", L"C:\\源\\文件 😀.txt", L"D:\\目标 😀\\文件 😀.txt"},
    };
    for (const Case& c : cases) {
        for (const bool toDefault : {true, false}) {
            Fixture f;
            f.list(c.entry);
            f.targetBox.items = {c.directory, L"C:\\older target"};
            f.platform.programDirectory = toDefault ? c.directory : L"D:\\elsewhere";
            f.click(toDefault);
            EXPECT_EQ(f.platform.moves, (std::vector<fake::Call>{{c.entry, c.destination}}))
                << c.destination << (toDefault ? " default" : " target");
        }
    }
}

TEST(BatchMover, TheLogCountsOnlyWhatMovedAndEntriesStayListed)
{
    for (const bool toDefault : {true, false}) {
        Fixture f;
        f.targetBox.items = {L"D:\\Tools"};
        for (const Text name : {L"a.txt", L"b.doc", L"c.txt", L"d.txt"}) {
            f.list(L"C:\\in\\" + name);
        }
        f.platform.entries[L"D:\\Tools\\b.doc"] = Kind::File;  // already there: never replaced
        f.platform.entries.erase(L"C:\\in\\c.txt");            // vanished since the drop
        f.logBox.colour = 0;

        f.click(toDefault);
        EXPECT_EQ(f.platform.moves.size(), 4U);
        EXPECT_EQ(f.logBox.content, L"程序运行信息：本次共移动2个文件");
        EXPECT_EQ(f.logBox.colour, 255U);
        EXPECT_EQ(f.sourceBox.items.size(), 4U);
        EXPECT_TRUE(f.platform.warnings.empty());

        // Again: the default move now finds its first file gone and warns; the target move
        // tries every entry anew and reports that nothing moved.
        f.click(toDefault);
        EXPECT_EQ(f.logBox.content, toDefault
                                        ? L"程序运行信息：本次共移动2个文件"
                                        : L"程序运行信息：本次共移动2个文件本次共移动0个文件");
        EXPECT_EQ(f.platform.warnings.size(), toDefault ? 1U : 0U);
    }
}

TEST(BatchMover, WarningsEndTheCommandBeforeAnythingMoves)
{
    struct Case {
        const char* name;
        bool toDefault;
        bool listSomething;
        Kind firstKind;
        bool haveTarget;
        std::vector<fake::Call> warnings;
    };
    const Case cases[] = {
        {"default, empty list", true, false, Kind::File, true, {kMissingSource}},
        {"target, empty list and no target", false, false, Kind::File, false, {kMissingSource}},
        {"default, first is a folder", true, true, Kind::Folder, true, {kMissingSource}},
        {"default, first is hidden", true, true, Kind::Hidden, true, {kMissingSource}},
        {"default, first is a system file", true, true, Kind::System, true, {kMissingSource}},
        {"default, first is read-only", true, true, Kind::ReadOnly, true, {}},
        {"target, first is a folder", false, true, Kind::Folder, true, {}},
        {"target, no target listed", false, true, Kind::File, false, {kMissingTarget}},
    };
    for (const Case& c : cases) {
        Fixture f;
        if (c.listSomething) {
            f.list(L"C:\\in\\first", c.firstKind);
            f.list(L"C:\\in\\second.txt");
        }
        if (c.haveTarget) {
            f.targetBox.items = {L"E:\\out"};
        }
        f.click(c.toDefault);
        EXPECT_EQ(f.platform.warnings, c.warnings) << c.name;
        EXPECT_EQ(f.platform.moves.size(), c.warnings.empty() ? 2U : 0U) << c.name;
        EXPECT_EQ(f.logBox.content,
                  c.warnings.empty() ? L"程序运行信息：本次共移动2个文件" : L"程序运行信息：")
            << c.name;
    }
}

TEST(BatchMover, ABatchIsTheListsAtTheClickAndFurtherClicksWaitForIt)
{
    for (const bool toDefault : {true, false}) {
        Fixture f;
        f.runner.holding = true;
        f.list(L"C:\\in\\a.txt");
        f.list(L"C:\\in\\b.txt");
        f.targetBox.items = {L"D:\\Tools"};
        f.click(toDefault);
        ASSERT_TRUE(f.runner.busy());
        // Whatever changes or is clicked meanwhile belongs to no batch.
        f.list(L"C:\\in\\c.txt");
        f.targetBox.items.insert(f.targetBox.items.begin(), L"E:\\later");
        f.platform.programDirectory = L"E:\\later";
        f.sourceBox.items.clear();
        f.click(true);
        f.click(false);
        EXPECT_EQ(f.logBox.content, L"程序运行信息：");
        EXPECT_TRUE(f.platform.warnings.empty());
        f.runner.finish();
        EXPECT_EQ(f.platform.moves,
                  (std::vector<fake::Call>{{L"C:\\in\\a.txt", L"D:\\Tools\\a.txt"},
                                           {L"C:\\in\\b.txt", L"D:\\Tools\\b.txt"}}));
        EXPECT_EQ(f.logBox.content, L"程序运行信息：本次共移动2个文件");
    }
}

TEST(DefaultDirectoryOpener, QuotesTheProgramDirectoryEachClick)
{
    const std::pair<Text, Text> cases[] = {
        {L"C:\\Program Files\\小工具 2", L"explorer \"C:\\Program Files\\小工具 2\" "},
        {L"Q:\\", L"explorer \"Q:\\\" "},
    };
    for (const auto& [directory, commandLine] : cases) {
        fake::FakePlatform platform;
        platform.programDirectory = directory;
        DefaultDirectoryOpener opener(platform);
        opener.openDefaultDirectory();
        opener.openDefaultDirectory();
        EXPECT_EQ(platform.launches, (TextList{commandLine, commandLine}));
    }
}

}  // namespace
}  // namespace fenrallo
