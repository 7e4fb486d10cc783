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

    targets.onDrop({L"H"});
    targets.onDrop({L"F", L"G"});
    EXPECT_EQ(box.items, (TextList{L"F", L"G", L"H"}));
    EXPECT_EQ(targets.currentTarget(), L"F");

    targets.onDrop({L"H"});
    EXPECT_EQ(box.items, (TextList{L"H", L"F", L"G", L"H"}));
    EXPECT_EQ(targets.currentTarget(), L"H");
    EXPECT_EQ(box.insertsOutsideBulk, 0);
}

TEST(TargetList, SelectionDoesNotChangeTheTarget)
{
    fake::FakeListBox box;
    TargetList targets(box);
    targets.onDrop({L"C:\\out", L"C:\\other"});
    box.selection = 1;
    EXPECT_EQ(targets.currentTarget(), L"C:\\out");
}

TEST(TargetList, AnEmptyDropChangesNothing)
{
    fake::FakeListBox box;
    TargetList targets(box);
    targets.onDrop({L"C:\\out"});
    targets.onDrop({});
    EXPECT_EQ(box.items, (TextList{L"C:\\out"}));
}

}  // namespace
}  // namespace fenrallo
