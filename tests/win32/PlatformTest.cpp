// The Win32 platform layer against the real file system: which entries count
// as ordinary files, what a move does to both of its ends whatever the user listed, and how drops
// are read.
#include "Support.h"
#include "platform/win32/DroppedPaths.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

// Each row names its source and destination with $ for the row's folder on Q: and ^ for one on
// R:, another volume. The source is made with its attributes (a folder holds inner.txt) unless
// they are kMissing. Before the move, IsOrdinaryFile tells whether the source is an ordinary file.
constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;

struct MoveCase {
    const char* name;
    Text from;
    Text to;
    DWORD source;
    bool moves;
    bool destinationTaken = false;
    bool sourceHeldOpen = false;
};

Text place(Text path, const Text& here, const Text& there)
{
    for (const auto& [mark, folder] : {std::pair{L'$', here}, std::pair{L'^', there}}) {
        for (std::size_t at = path.find(mark); at != Text::npos; at = path.find(mark)) {
            path.replace(at, 1, folder);
        }
    }
    return path;
}

TEST(Win32PlatformServices, MovesWholeOrLeavesBothEndsAloneAndKnowsOrdinaryFiles)
{
    ASSERT_TRUE(haveScratchDrives()) << "run under tools/with-wine, which maps Q: and R:";
    const Text root = L"Q:\\root-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const Text deep =
        L"$\\deep\\" + Text(90, L'a') + L"\\" + Text(90, L'b') + L"\\" + Text(90, L'c');
    const DWORD file = FILE_ATTRIBUTE_NORMAL;
    const MoveCase cases[] = {
        {"names outside any code page", L"$\\源 😀.txt", L"$\\out\\ไทย ❄ 한국어.txt", file, true},
        {"a read-only file", L"$\\r.txt", L"$\\out\\r.txt", FILE_ATTRIBUTE_READONLY, true},
        {"a hidden file", L"$\\h.txt", L"$\\out\\h.txt", FILE_ATTRIBUTE_HIDDEN, true},
        {"a system file", L"$\\s.txt", L"$\\out\\s.txt", FILE_ATTRIBUTE_SYSTEM, true},
        {"a folder", L"$\\dir", L"$\\out\\dir", kFolder, true},
        {"past MAX_PATH at both ends", deep + L"\\long.txt", deep + L"\\..\\moved.txt", file, true},
        {"into a drive root, doubled separator", L"$\\a.txt", L"Q:\\\\" + root.substr(3), file,
         true},
        {"onto an existing file", L"$\\a.txt", L"$\\out\\a.txt", file, false, true},
        {"onto an existing folder", L"$\\dir", L"$\\out\\dir", kFolder, false, true},
        {"a source that is gone", L"$\\gone.txt", L"$\\out\\gone.txt", kMissing, false},
        {"a drive root as the source", L"Q:\\", L"$\\out\\", kMissing, false},
        {"into a file", L"$\\a.txt", L"$\\out\\a.txt\\a.txt", file, false},
        {"into a folder that does not exist", L"$\\a.txt", L"$\\none\\a.txt", file, false},
        {"a folder into itself", L"$\\dir", L"$\\dir\\dir", kFolder, false},
        {"a source held open", L"$\\a.txt", L"$\\out\\a.txt", file, false, false, true},
        {"a file across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, true},
        {"a folder across volumes", L"^\\dir", L"$\\out\\dir", kFolder, false},
        {"a file held open across volumes", L"^\\a.txt", L"$\\out\\a.txt", file, false, false,
         true},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir here;
        ScratchDir there(L"R:\\");
        deepFolder(here.text() + L"\\deep");
        makeFolder(here.text() + L"\\out");
        const Text from = place(c.from, here.text(), there.text());
        const Text to = place(c.to, here.text(), there.text());
        const bool folder = c.source == kFolder;
        const auto inner = [folder](const Text& entry) {
            return folder ? entry + L"\\inner.txt" : entry;
        };
        if (folder) {
            makeFolder(from);
        }
        if (c.source != kMissing) {
            makeFile(inner(from), "moved", folder ? file : c.source);
        }
        if (c.destinationTaken && folder) {
            makeFolder(to);
        }
        if (c.destinationTaken) {
            makeFile(inner(to), "already there");
        }
        const OwnedHandle held(c.sourceHeldOpen
                                   ? CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                 nullptr, OPEN_EXISTING, 0, nullptr)
                                   : nullptr);
        const bool ordinary =
            (c.source & (kFolder | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
        EXPECT_EQ(Win32PlatformServices().IsOrdinaryFile(from), ordinary);

        const StopFlag stop{false};
        EXPECT_EQ(Win32PlatformServices().MoveWithoutReplace(from, to, stop), c.moves);

        if (c.source != kMissing) {
            EXPECT_EQ(contents(inner(from)), c.moves ? "<missing>" : "moved");
        }
        EXPECT_EQ(contents(inner(to)),
                  c.moves ? "moved" : (c.destinationTaken ? "already there" : "<missing>"));
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(root.c_str());
    }
}

TEST(DroppedPaths, ComeOutWholeAndInTheOrderOfTheDrop)
{
    const std::pair<TextList, bool> cases[] = {
        {{L"C:\\z\\last.txt", L"C:\\a\\first", L"C:\\z\\last.txt"}, true},
        {{L"C:\\资料\\报告 😀.docx", L"\\\\server\\share\\dir"}, true},
        {{L"C:\\" + Text(32000, L'q'), L"C:\\after"}, true},
        {{L"C:\\ansi\\one.txt", L"C:\\ansi\\two.txt"}, false},
        // Wine counts a drop with no paths as one path; it must still give none.
        {{}, true},
    };
    for (const auto& [paths, wide] : cases) {
        const win32::DropHandle drop(makeDrop(paths, wide));
        EXPECT_EQ(win32::droppedPaths(drop.get()), paths) << paths.size() << " paths";
    }
    EXPECT_TRUE(win32::droppedPaths(nullptr).empty());
}

}  // namespace
}  // namespace fenrallo::test
