// Drop intake: each new path lands at its own position within the drop, duplicates are skipped,
// and the log is reset first and reports the entry count last, in red.
#include "lists/SourceList.h"

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

Text receivedLog(std::size_t count)
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
        {"letter case makes a new entry", {L"C:\\a"}, {L"C:\\A"}, {L"C:\\A", L"C:\\a"}},
        // The second A is a duplicate of the first, so D's drop position (3) lies past the end
        // of the list (2 entries): D goes to the end.
        {"a repeat inside one drop", {}, {L"A", L"A", L"A", L"D"}, {L"A", L"D"}},
        {"a repeat, then a slot inside",
         {L"X", L"Y"},
         {L"A", L"A", L"B"},
         {L"A", L"X", L"B", L"Y"}},
    };
    for (const Case& c : cases) {
        // The colour is written only when it is not red already, whatever it was.
        for (const Colour colour : {Colour{255}, Colour{0}, Colour{0xFF00}}) {
            Fixture f;
            f.box.items = c.before;
            f.logBox.colour = colour;
            f.list.onDrop(c.drop);
            EXPECT_EQ(f.box.items, c.after) << c.name;
            EXPECT_EQ(f.logBox.content, receivedLog(c.after.size())) << c.name;
            EXPECT_EQ(f.logBox.colour, 255U) << c.name;
            EXPECT_EQ(f.logBox.colourWrites, colour == 255 ? 0 : 1) << c.name;
            // Reading the list once per dropped path would make large drops take seconds.
            EXPECT_LE(f.box.textReads, static_cast<int>(c.before.size())) << c.name;
        }
    }
}

TEST(SourceList, DoubleClickAndDeleteRemoveOnlyTheSelectedEntry)
{
    struct Case {
        int selection;
        TextList after;
        int selectedAfterDelete;
    };
    const Case cases[] = {{-1, {L"A", L"B", L"C"}, -1},
                          {0, {L"B", L"C"}, 0},
                          {1, {L"A", L"C"}, 1},
                          {2, {L"A", L"B"}, 1}};
    for (const Case& c : cases) {
        for (const bool key : {false, true}) {
            Fixture f;
            f.box.items = {L"A", L"B", L"C"};
            f.box.selection = c.selection;
            key ? f.list.onDeleteKey() : f.list.onDoubleClick();
            EXPECT_EQ(f.box.items, c.after) << c.selection;
            // The list box's own choice after a double-click; the next entry after Delete.
            EXPECT_EQ(f.box.selection, key ? c.selectedAfterDelete : -1) << c.selection;
            EXPECT_EQ(f.logBox.content, L"程序运行信息：");
        }
    }
}

}  // namespace
}  // namespace fenrallo
