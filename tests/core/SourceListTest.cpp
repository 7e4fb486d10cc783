// Drop intake: each new path lands at its own position within the drop, duplicates are skipped,
// and the log is reset first and reports the entry count last.
#include "lists/SourceList.h"

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

struct Fixture {
    fake::FakeListBox box;
    fake::FakeTextBox logBox;
    RunLog log{logBox};
    SourceList list{box, log};
};

Text receivedLog(int count)
{
    return L"以下为任务执行信息：\r\n\r\n当前共接收 " + std::to_wstring(count) + L" 个文件";
}

TEST(SourceList, DropPlacesNewPathsAtTheirDropPositions)
{
    struct Case {
        const char* name;
        TextList before;
        TextList drop;
        TextList after;
    };
    const Case cases[] = {
        {"into an empty list", {}, {L"A", L"B", L"C"}, {L"A", L"B", L"C"}},
        {"new paths go on top", {L"A", L"B"}, {L"C", L"D"}, {L"C", L"D", L"A", L"B"}},
        {"a skipped path keeps its slot",
         {L"A", L"B"},
         {L"C", L"A", L"D"},
         {L"C", L"A", L"D", L"B"}},
        {"everything already listed", {L"A", L"B"}, {L"B", L"A"}, {L"A", L"B"}},
        {"an empty drop", {L"A"}, {}, {L"A"}},
        {"letter case makes a new entry",
         {L"C:\\a.txt"},
         {L"C:\\A.TXT"},
         {L"C:\\A.TXT", L"C:\\a.txt"}},
        {"folders and roots are entries too", {}, {L"C:\\", L"C:\\dir"}, {L"C:\\", L"C:\\dir"}},
        // The same path twice in one drop: the second copy is a duplicate, and D's position
        // (3) lies past the end of the list (2 entries), so D goes to the end.
        {"a repeat inside one drop", {}, {L"A", L"A", L"A", L"D"}, {L"A", L"D"}},
        {"repeat, then a path whose slot is inside",
         {L"X", L"Y", L"Z"},
         {L"A", L"A", L"B"},
         {L"A", L"X", L"B", L"Y", L"Z"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.box.items = c.before;
        f.list.onDrop(c.drop);
        EXPECT_EQ(f.box.items, c.after) << c.name;
        EXPECT_EQ(f.logBox.content, receivedLog(static_cast<int>(c.after.size()))) << c.name;
        EXPECT_EQ(f.box.insertsOutsideBulk, 0) << c.name;
    }
}

TEST(SourceList, EachDropResetsTheLogAndMakesItRed)
{
    Fixture f;
    f.logBox.content = L"以下为任务执行信息：\r\n\r\n当前共接收 2 个文件本次共移动2个文件";
    f.logBox.colour = 0;
    f.list.onDrop({L"A", L"B"});
    f.list.onDrop({L"A", L"B"});
    EXPECT_EQ(f.box.items, (TextList{L"A", L"B"}));
    EXPECT_EQ(f.logBox.content, receivedLog(2));
    EXPECT_EQ(f.logBox.colour, 255U);
}

// The straightforward reading of the rule, with a scan of the list for every path.
TextList modelDrop(TextList list, const TextList& drop)
{
    for (std::size_t i = 0; i < drop.size(); ++i) {
        if (std::find(list.begin(), list.end(), drop[i]) == list.end()) {
            list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(i, list.size())),
                        drop[i]);
        }
    }
    return list;
}

TEST(SourceList, ManyRandomDropsMatchTheModel)
{
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> pathIndex(0, 40);
    std::uniform_int_distribution<int> dropSize(0, 12);
    Fixture f;
    TextList expected;
    for (int round = 0; round < 500; ++round) {
        TextList drop;
        for (int n = dropSize(random); n > 0; --n) {
            drop.push_back(L"C:\\f" + std::to_wstring(pathIndex(random)));
        }
        expected = modelDrop(expected, drop);
        f.list.onDrop(drop);
        ASSERT_EQ(f.box.items, expected) << "round " << round;
        ASSERT_EQ(f.logBox.content, receivedLog(static_cast<int>(expected.size())));
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(std::adjacent_find(expected.begin(), expected.end()), expected.end());
}

TEST(SourceList, ADropReadsEachListedEntryOnce)
{
    Fixture f;
    for (int i = 0; i < 2000; ++i) {
        f.box.items.push_back(L"C:\\old\\" + std::to_wstring(i));
    }
    TextList drop;
    for (int i = 0; i < 2000; ++i) {
        drop.push_back(L"C:\\new\\" + std::to_wstring(i));
    }
    f.list.onDrop(drop);
    EXPECT_EQ(f.box.count(), 4000);
    EXPECT_LE(f.box.textReads, 2000);
    EXPECT_EQ(f.box.bulkBrackets, 1);
    EXPECT_EQ(f.box.bulkDepth, 0);
}

TEST(SourceList, DoubleClickRemovesOnlyTheSelectedEntry)
{
    struct Case {
        int selection;
        TextList after;
    };
    const Case cases[] = {{-1, {L"A", L"B", L"C"}}, {0, {L"B", L"C"}}, {2, {L"A", L"B"}}};
    for (const Case& c : cases) {
        Fixture f;
        f.box.items = {L"A", L"B", L"C"};
        f.logBox.content = L"log";
        f.box.selection = c.selection;
        f.list.onDoubleClick();
        EXPECT_EQ(f.box.items, c.after) << c.selection;
        EXPECT_EQ(f.logBox.content, L"log");
    }
    Fixture empty;
    empty.list.onDoubleClick();
    EXPECT_EQ(empty.box.count(), 0);
}

}  // namespace
}  // namespace fenrallo
