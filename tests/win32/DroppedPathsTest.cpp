// droppedPaths against drops built in memory exactly as the shell hands them to WM_DROPFILES: a
// DROPFILES header followed by a double-NUL-terminated list of paths, in the wide form read in
// one pass and the ANSI form read path by path. That the window hands every drop back to the
// shell is WindowTest's to check.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PlatformTestSupport.h"
#include "platform/win32/DroppedPaths.h"

namespace fenrallo::win32 {
namespace {

using test::makeDrop;

Text repeated(const Text& part, std::size_t times)
{
    Text text;
    for (std::size_t i = 0; i < times; ++i) {
        text += part;
    }
    return text;
}

struct DropCase {
    const char* name;
    TextList paths;
    bool wide = true;
};

TEST(DroppedPaths, ComeOutWholeAndInTheOrderOfTheDrop)
{
    TextList many;
    for (int i = 0; i < 3000; ++i) {
        many.push_back(L"C:\\many\\" + std::to_wstring((i * 7919) % 3000) + L".txt");
    }
    const DropCase cases[] = {
        {"one", {L"C:\\a.txt"}},
        {"order_kept_not_sorted",
         {L"C:\\z\\last.txt", L"C:\\a\\first.txt", L"D:\\m\\middle", L"C:\\a\\first.txt"}},
        {"chinese_and_emoji", {L"C:\\资料\\报告 😀.docx", L"D:\\照片\\🎉 新年.jpg"}},
        {"just_past_max_path", {L"C:\\" + Text(257, L'p'), L"C:\\after"}},
        {"far_past_max_path",
         {L"C:\\before", L"C:\\" + repeated(L"长目录名😀\\", 400) + L"end.txt", L"C:\\after"}},
        {"longest_path", {L"C:\\" + Text(32000, L'q')}},
        {"folders_and_unc", {L"C:\\folder", L"\\\\server\\share\\dir"}},
        {"ansi_list", {L"C:\\ansi\\one.txt", L"C:\\ansi\\two.txt"}, false},
        {"thousands", many},
        // Wine counts a drop with no paths as one path; it must still give none.
        {"no paths", {}},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        const DropHandle drop(makeDrop(c.paths, c.wide));
        ASSERT_TRUE(drop);
        EXPECT_EQ(droppedPaths(drop.get()), c.paths);
    }
}

TEST(DroppedPaths, NullDropHasNoPaths)
{
    EXPECT_TRUE(droppedPaths(nullptr).empty());
}

}  // namespace
}  // namespace fenrallo::win32
