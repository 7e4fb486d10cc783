// droppedPaths and DropHandle against drops built in memory exactly as the shell hands them to
// WM_DROPFILES: a DROPFILES header followed by a double-NUL-terminated list of paths.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "platform/win32/DroppedPaths.h"

#include <shlobj.h>

namespace fenrallo::win32 {
namespace {

// The shell allocates drops with GlobalAlloc and the receiver frees them with DragFinish. It
// never sends an empty one, whose count Wine and Windows report differently.
HDROP makeDrop(const TextList& paths, bool wide = true)
{
    std::string list;
    for (const Text& path : paths) {
        for (const wchar_t c : path) {
            if (wide) {
                list.append(reinterpret_cast<const char*>(&c), sizeof c);
            } else {
                list.push_back(static_cast<char>(c));
            }
        }
        list.append(wide ? sizeof(wchar_t) : 1, '\0');
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');

    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

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

static_assert(!std::is_copy_constructible_v<DropHandle> && !std::is_copy_assignable_v<DropHandle>,
              "a drop must be finished exactly once");

// A finished drop's memory is freed: the global handle is no longer valid.
bool released(HDROP drop)
{
    return GlobalFlags(drop) == GMEM_INVALID_HANDLE;
}

TEST(DropHandle, FinishesTheDropWhenItsLastOwnerEnds)
{
    const HDROP raw = makeDrop({L"C:\\a.txt"});
    {
        DropHandle first(raw);
        {
            const DropHandle second(std::move(first));
            EXPECT_FALSE(released(raw)) << "the first owner gave it away without finishing it";
        }
        EXPECT_TRUE(released(raw));
        EXPECT_FALSE(first);
    }
}

}  // namespace
}  // namespace fenrallo::win32
