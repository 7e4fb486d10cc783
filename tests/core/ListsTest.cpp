// The two lists and the run log. Drop intake on the source list: each new path lands at its own
// position within the drop, duplicates are skipped, the log is reset first and reports the
// entry count last, in red. The target list takes every path, the newest drop's first on top.
// The log's texts are read by users and compared byte for byte.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <tuple>
#include <utility>

#include "fakes/FakePlatform.h"
#include "lists/SourceList.h"
#include "lists/TargetList.h"

namespace fenrallo {
namespace {

using Colours = std::vector<Colour>;

struct Fixture {
    // The list box holds `before` when the source list takes it over.
    explicit Fixture(TextList before) : box{std::move(before)} {}
    fake::FakeListBox box;
    fake::FakeTextBox logBox;
    RunLog log{logBox};
    SourceList list{box, log};
};

TEST(SourceList, DropPlacesNewPathsAtTheirDropPositions)
{
    // What the case shows; the list before; the drop; the list after.
    // clang-format off
    const std::tuple<const char*, TextList, TextList, TextList> cases[] = {
        {"into an empty list", {}, {L"A", L"B", L"C"}, {L"A", L"B", L"C"}}, {"new paths go on top", {L"A", L"B"}, {L"C", L"D"}, {L"C", L"D", L"A", L"B"}},
        {"a skipped path keeps its slot", {L"A", L"B"}, {L"C", L"A", L"D"}, {L"C", L"A", L"D", L"B"}}, {"everything already listed", {L"A", L"B"}, {L"B", L"A"}, {L"A", L"B"}},
        {"an empty drop", {L"A"}, {}, {L"A"}}, {"letter case makes a new entry", {L"C:\\a"}, {L"C:\\A"}, {L"C:\\A", L"C:\\a"}},
        // The second A is a duplicate of the first, so D's drop position (3) lies past the end
        // of the list (2 entries): D goes to the end.
        {"a repeat inside one drop", {}, {L"A", L"A", L"A", L"D"}, {L"A", L"D"}}, {"a repeat, then a slot inside", {L"X", L"Y"}, {L"A", L"A", L"B"}, {L"A", L"X", L"B", L"Y"}},
    };
    // clang-format on
    for (const auto& [name, before, drop, after] : cases) {
        // The colour is written only when it is not red already, whatever it was; a drop costs
        // its own paths only, however long the list, and reads no entry back.
        for (const Colour colour : {Colour{255}, Colour{0}, Colour{0xFF00}}) {
            Fixture f(before);
            f.logBox.colours = {colour};
            f.box.textReads = 0;
            f.list.onDrop(drop);
            EXPECT_EQ(
                (std::tuple{f.box.items, f.logBox.content, f.logBox.colours, f.box.textReads}),
                (std::tuple{after,
                            L"以下为任务执行信息：\r\n\r\n当前共接收 " +
                                std::to_wstring(after.size()) + L" 个文件",
                            colour == 255 ? Colours{255} : Colours{colour, 255}, 0}))
                << name;
        }
    }
}

TEST(SourceList, DoubleClickAndDeleteRemoveOnlyTheSelectedEntry)
{
    // Selected before; the entries after; selected after Delete, which selects the next entry
    // (the list box's own choice after a double-click).
    // clang-format off
    const std::tuple<int, TextList, int> cases[] = {
        {-1, {L"A", L"B", L"C"}, -1}, {0, {L"B", L"C"}, 0}, {1, {L"A", L"C"}, 1}, {2, {L"A", L"B"}, 1}};
    // clang-format on
    for (const auto& [selection, after, selectedAfterDelete] : cases) {
        for (const bool key : {false, true}) {
            Fixture f({L"A", L"B", L"C"});
            f.box.selection = selection;
            key ? f.list.onDeleteKey() : f.list.onDoubleClick();
            EXPECT_EQ(std::tuple(f.box.items, f.box.selection, f.logBox.content),
                      std::tuple(after, key ? selectedAfterDelete : -1, Text(L"程序运行信息：")))
                << selection;
            // What was taken off can be dropped again; what stays is still refused.
            f.list.onDrop({L"A", L"B", L"C"});
            EXPECT_EQ(f.box.items.size(), 3U) << selection;
        }
    }
}

// Thousands of texts coming and going, many of them in the same probe runs, against std::set.
TEST(TextSet, KnowsExactlyWhatIsInItWhateverCameAndWent)
{
    TextSet set;
    std::set<Text> expected;
    std::mt19937 random(3);
    for (int i = 0; i < 40000; ++i) {
        const Text text = L"C:\\" + std::to_wstring(random() % 3000);
        const bool add = random() % 3 != 0;
        EXPECT_EQ(add ? set.insert(text) : (set.erase(text), false),
                  add && expected.insert(text).second);
        add ? void() : void(expected.erase(text));
    }
}

TEST(TargetList, DropsGoOnTopInDropOrderAndDuplicatesStay)
{
    fake::FakeListBox box;
    TargetList targets(box);
    EXPECT_EQ(targets.currentTarget(), L"");
    // Each row: one drop and the whole list after it.
    const std::pair<TextList, TextList> drops[] = {
        {{L"H"}, {L"H"}}, {{L"F", L"G"}, {L"F", L"G", L"H"}}, {{L"H"}, {L"H", L"F", L"G", L"H"}}};
    for (const auto& [drop, after] : drops) {
        targets.onDrop(drop);
        EXPECT_EQ(std::tuple(box.items, targets.currentTarget()), std::tuple(after, drop.front()));
    }
    box.selection = 1;
    EXPECT_EQ(targets.currentTarget(), L"H") << "selection does not change the target";
}

TEST(RunLog, AppendsBuildOneTextBackToBackUntilAReset)
{
    fake::FakeTextBox box;
    RunLog log(box);
    log.appendMoved(120);
    log.appendReceived(40000);
    log.appendMoved(0);
    log.appendMoved(7);
    EXPECT_EQ(box.content,
              L"程序运行信息：本次共移动120个文件\r\n当前共接收 40000 个文件"
              L"本次共移动0个文件本次共移动7个文件");
    log.resetWithHeader();
    log.setRed();
    EXPECT_EQ(std::tuple(box.content, box.colours),
              std::tuple(L"以下为任务执行信息：\r\n", Colours{255, 255}))
        << "setRed writes even when the log is red";
}

}  // namespace
}  // namespace fenrallo
