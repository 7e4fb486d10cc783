// The two move commands and the folder opener: their preconditions and warnings, the destination
// of every entry, a batch that is what the lists were at the click, and a log that counts only
// the entries that really moved.
#include "ops/BatchMover.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "fakes/FakePlatform.h"
#include "ops/DefaultDirectoryOpener.h"

namespace fenrallo {
namespace {

using Kind = fake::FakePlatform::Kind;

const fake::Call kMissingSource{L"原始文件未找到!", L"程序运行错误"};

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
    // The program directory for 移至默认目录 and the top target for 移至指定目录; an entry; where
    // it goes.
    const std::tuple<Text, Text, Text> cases[] = {
        {L"D:\\Tools", L"C:\\in\\a.txt", L"D:\\Tools\\a.txt"},
        {L"Q:\\", L"C:\\in\\a.txt", L"Q:\\\\a.txt"},
        {L"D:\\Tools", L"a.txt", L"D:\\Tools\\a.txt"},
        {L"D:\\Tools", L"C:\\dir\\", L"D:\\Tools\\"},
        {L"D:\\Tools", L"C:/a\\b/c.txt", L"D:\\Tools\\b/c.txt"},
        {L"D:\\目标 😀", L"C:\\源\\文件 😀.txt", L"D:\\目标 😀\\文件 😀.txt"},
    };
    for (const auto& [directory, entry, destination] : cases) {
        for (const bool toDefault : {true, false}) {
            Fixture f;
            f.list(entry);
            f.targetBox.items = {directory, L"C:\\older target"};
            f.platform.programDirectory = toDefault ? directory : L"D:\\elsewhere";
            f.click(toDefault);
            EXPECT_EQ(f.platform.moves, (std::vector<fake::Call>{{entry, destination}}))
                << destination << (toDefault ? " default" : " target");
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
        EXPECT_EQ((std::tuple{f.platform.moves.size(), f.logBox.content, f.logBox.colour,
                              f.sourceBox.items.size(), f.platform.warnings.size()}),
                  (std::tuple{4U, L"程序运行信息：本次共移动2个文件", 255U, 4U, 0U}));

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
    // 移至默认目录 or not; the first entry listed, if any; a target listed or not; the warning.
    const std::tuple<bool, std::optional<Kind>, bool, std::optional<fake::Call>> cases[] = {
        {true, {}, true, kMissingSource},
        {false, {}, false, kMissingSource},
        {true, Kind::Folder, true, kMissingSource},
        {true, Kind::Hidden, true, kMissingSource},
        {true, Kind::System, true, kMissingSource},
        {true, Kind::ReadOnly, true, {}},
        {false, Kind::Folder, true, {}},
        {false, Kind::File, false, fake::Call{L"目标地址未指定!", L"程序运行错误"}},
    };
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
        EXPECT_EQ(f.platform.warnings,
                  (warning ? std::vector{*warning} : std::vector<fake::Call>{}));
        EXPECT_EQ(f.platform.moves.size(), warning ? 0U : 2U);
        EXPECT_EQ(f.logBox.content,
                  warning ? L"程序运行信息：" : L"程序运行信息：本次共移动2个文件");
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
    fake::FakePlatform platform;
    platform.programDirectory = L"C:\\Program Files\\小工具 2";
    DefaultDirectoryOpener opener(platform);
    opener.openDefaultDirectory();
    opener.openDefaultDirectory();
    const Text commandLine = L"explorer \"C:\\Program Files\\小工具 2\" ";
    EXPECT_EQ(platform.launches, (TextList{commandLine, commandLine}));
}

}  // namespace
}  // namespace fenrallo
