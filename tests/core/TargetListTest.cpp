// The newest drop's first path is the current target; older targets stay listed beneath.
#include "lists/TargetList.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

TEST(TargetList, DropsGoOnTopInDropOrderAndDuplicatesStay)
{
    fake::FakeListBox box;
    TargetList targets(box);
    EXPECT_EQ(targets.currentTarget(), L"");
    // Each row: one drop and the whole list after it.
    const std::pair<TextList, TextList> drops[] = {
        {{L"H"}, {L"H"}},
        {{L"F", L"G"}, {L"F", L"G", L"H"}},
        {{L"H"}, {L"H", L"F", L"G", L"H"}},
    };
    for (const auto& [drop, after] : drops) {
        targets.onDrop(drop);
        EXPECT_EQ(box.items, after);
        EXPECT_EQ(targets.currentTarget(), drop.front());
    }
    box.selection = 1;
    EXPECT_EQ(targets.currentTarget(), L"H") << "selection does not change the target";
}

}  // namespace
}  // namespace fenrallo
