// The Win32 platform layer against the real file system and real programs: which entries count
// as ordinary files, what a move does to both of its ends whatever the user listed, the folder a
// program really runs from, how drops are read, and that neither a planted explorer.exe nor a
// planted DLL in the program's folder ever runs.
#include "Support.h"
#include "platform/win32/DllHardening.h"
#include "platform/win32/DroppedPaths.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

TEST(IsOrdinaryFile, TellsOrdinaryFilesFromEverythingElse)
{
    enum Make { File, Folder, Nothing };
    struct Case {
        const wchar_t* name;
        Make make;
        DWORD attributes;
        bool expected;
    };
    const Case cases[] = {
        {L"a.txt", File, 0, true},
        {L"r.txt", File, FILE_ATTRIBUTE_READONLY, true},
        {L"文件 😀.txt", File, 0, true},
        {L"sub", Folder, 0, false},
        {L"h.txt", File, FILE_ATTRIBUTE_HIDDEN, false},
        {L"s.txt", File, FILE_ATTRIBUTE_SYSTEM, false},
        {L"gone.txt", Nothing, 0, false},
    };
    ScratchDir scratch;
    const Text deep = deepFolder(scratch.text() + L"\\deep");
    for (const Case& c : cases) {
        for (const Text& folder : {scratch.text(), deep}) {
            const Text entry = folder + L"\\" + c.name;
            if (c.make == File) {
                makeFile(entry, "x", c.attributes);
            } else if (c.make == Folder) {
                makeFolder(entry);
            }
            EXPECT_EQ(Win32PlatformServices().IsOrdinaryFile(entry), c.expected)
                << testing::PrintToString(entry);
        }
    }
}

// Each row names its source and destination with $ for the row's folder on Q: and ^ for one on
// R:, another volume. The source is made (a file, or a folder holding inner.txt) unless missing.
struct MoveCase {
    const char* name;
    Text from;
    Text to;
    enum { File, Folder, Missing } source;
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

TEST(MoveWithoutReplace, MovesWholeOrLeavesBothEndsAlone)
{
    ASSERT_TRUE(haveScratchDrives()) << "run under tools/with-wine, which maps Q: and R:";
    const Text root = L"Q:\\root-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const Text deep = L"$\\deep\\" + Text(90, L'a') + L"\\" + Text(90, L'b') + L"\\" + Text(90, L'c');
    const MoveCase cases[] = {
        {"names outside any code page", L"$\\源 😀.txt", L"$\\out\\ไทย ❄ 한국어.txt", MoveCase::File, true},
        {"a folder", L"$\\dir", L"$\\out\\dir", MoveCase::Folder, true},
        {"past MAX_PATH at both ends", deep + L"\\long.txt", deep + L"\\..\\moved.txt",
         MoveCase::File, true},
        {"into a drive root, doubled separator", L"$\\a.txt", L"Q:\\\\" + root.substr(3),
         MoveCase::File, true},
        {"onto an existing file", L"$\\a.txt", L"$\\out\\a.txt", MoveCase::File, false, true},
        {"onto an existing folder", L"$\\dir", L"$\\out\\dir", MoveCase::Folder, false, true},
        {"a source that is gone", L"$\\gone.txt", L"$\\out\\gone.txt", MoveCase::Missing, false},
        {"a drive root as the source", L"Q:\\", L"$\\out\\", MoveCase::Missing, false},
        {"into a file", L"$\\a.txt", L"$\\out\\a.txt\\a.txt", MoveCase::File, false},
        {"into a folder that does not exist", L"$\\a.txt", L"$\\none\\a.txt", MoveCase::File, false},
        {"a folder into itself", L"$\\dir", L"$\\dir\\dir", MoveCase::Folder, false},
        {"a source held open", L"$\\a.txt", L"$\\out\\a.txt", MoveCase::File, false, false, true},
        {"a file across volumes", L"^\\a.txt", L"$\\out\\a.txt", MoveCase::File, true},
        {"a folder across volumes", L"^\\dir", L"$\\out\\dir", MoveCase::Folder, false},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir here;
        ScratchDir there(L"R:\\");
        deepFolder(here.text() + L"\\deep");
        makeFolder(here.text() + L"\\out");
        const Text from = place(c.from, here.text(), there.text());
        const Text to = place(c.to, here.text(), there.text());
        const bool folder = c.source == MoveCase::Folder;
        const auto inner = [folder](const Text& entry) {
            return folder ? entry + L"\\inner.txt" : entry;
        };
        for (const auto& [entry, make, bytes] :
             {std::tuple{from, c.source != MoveCase::Missing, "moved"},
              std::tuple{to, c.destinationTaken, "already there"}}) {
            if (make && folder) {
                makeFolder(entry);
            }
            if (make) {
                makeFile(inner(entry), bytes);
            }
        }
        const OwnedHandle held(c.sourceHeldOpen ? CreateFileW(from.c_str(), GENERIC_READ,
                                                              FILE_SHARE_READ, nullptr,
                                                              OPEN_EXISTING, 0, nullptr)
                                                : nullptr);

        EXPECT_EQ(Win32PlatformServices().MoveWithoutReplace(from, to), c.moves);

        if (c.source != MoveCase::Missing) {
            EXPECT_EQ(contents(inner(from)), c.moves ? "<missing>" : "moved");
        }
        EXPECT_EQ(contents(inner(to)),
                  c.moves ? "moved" : (c.destinationTaken ? "already there" : "<missing>"));
        DeleteFileW(root.c_str());
    }
}

std::wstring readUtf16(const fs::path& file)
{
    const std::string bytes = contents(file.wstring());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}

// The probe is copied there and reports its own ProgramDirectory.
TEST(ProgramDirectory, IsTheFolderTheProgramRunsFrom)
{
    ASSERT_TRUE(haveScratchDrives()) << "run under tools/with-wine, which maps Q: and R:";
    ScratchDir scratch;
    const Text named = scratch.text() + L"\\我的 工具 😀";
    makeFolder(named);
    for (const Text& folder : {named, Text(L"Q:\\")}) {
        SCOPED_TRACE(testing::PrintToString(folder));
        const fs::path probe = fs::path(folder) / L"probe.exe";
        ASSERT_TRUE(CopyFileW(helper(L"probe.exe").c_str(),
                              win32::extendedLengthPath(probe.wstring()).c_str(), FALSE));
        const fs::path report = scratch.path() / L"report.txt";
        EXPECT_EQ(run(probe, L"directory \"" + report.wstring() + L"\"", scratch.path()), 0);
        DeleteFileW(win32::extendedLengthPath(probe.wstring()).c_str());
        EXPECT_EQ(readUtf16(report), folder);
    }
}

TEST(PathForms, KeepTheSeparatorOnlyAtRootsAndThePrefixOnlyWhereNeeded)
{
    const Text l(300, L'x');
    const std::pair<Text, Text> directories[] = {
        {L"C:\\Tools\\工具 😀\\app.exe", L"C:\\Tools\\工具 😀"},
        {L"Q:\\app.exe", L"Q:\\"},
        {L"\\\\server\\share\\app.exe", L"\\\\server\\share"},
        {L"\\\\?\\C:\\app.exe", L"C:\\"},
        {L"\\\\?\\UNC\\server\\share\\dir\\app.exe", L"\\\\server\\share\\dir"},
        {L"\\\\?\\C:\\" + l + L"\\app.exe", L"\\\\?\\C:\\" + l},
        {L"app.exe", L""},
    };
    for (const auto& [module, directory] : directories) {
        EXPECT_EQ(win32::directoryOfModulePath(module), directory) << module;
    }
    const std::pair<Text, Text> extended[] = {
        {L"C:\\short\\a.txt", L"C:\\short\\a.txt"},
        {L"C:/" + l + L"/a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"C:\\" + l + L"\\..\\" + l + L"\\.\\a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"\\\\server\\share\\" + l, L"\\\\?\\UNC\\server\\share\\" + l},
        {L"\\\\?\\C:\\" + l + L"\\..\\a", L"\\\\?\\C:\\" + l + L"\\..\\a"},
        {L"relative\\" + l, L"relative\\" + l},
    };
    for (const auto& [path, expected] : extended) {
        EXPECT_EQ(win32::extendedLengthPath(path), expected) << path;
    }
}

TEST(DroppedPaths, ComeOutWholeAndInTheOrderOfTheDrop)
{
    TextList many;
    for (int i = 0; i < 3000; ++i) {
        many.push_back(L"C:\\many\\" + std::to_wstring((i * 7919) % 3000));
    }
    const std::pair<TextList, bool> cases[] = {
        {{L"C:\\z\\last.txt", L"C:\\a\\first", L"C:\\z\\last.txt"}, true},
        {{L"C:\\资料\\报告 😀.docx", L"\\\\server\\share\\dir"}, true},
        {{L"C:\\" + Text(32000, L'q'), L"C:\\after"}, true},
        {{L"C:\\ansi\\one.txt", L"C:\\ansi\\two.txt"}, false},
        {many, true},
        // Wine counts a drop with no paths as one path; it must still give none.
        {{}, true},
    };
    for (const auto& [paths, wide] : cases) {
        const win32::DropHandle drop(makeDrop(paths, wide));
        EXPECT_EQ(win32::droppedPaths(drop.get()), paths) << paths.size() << " paths";
    }
    EXPECT_TRUE(win32::droppedPaths(nullptr).empty());
}

TEST(LaunchFileManager, OpensTheFolderWithTheSystemExplorerNeverAPlantedOne)
{
    ScratchDir scratch;
    // Spaces and Chinese show the folder arrives as one argument.
    const Text name = L"默认 目录 " + std::to_wstring(GetCurrentProcessId());
    const fs::path folder = scratch.path() / name;
    fs::create_directories(folder);
    fs::copy_file(helper(L"probe.exe"), folder / L"Fenrallo1.0.exe");
    fs::copy_file(helper(L"plant.exe"), folder / L"explorer.exe");
    ASSERT_EQ(run(folder / L"Fenrallo1.0.exe", L"launch", folder), 0);
    HWND shown = nullptr;
    for (int i = 0; i < 150 && shown == nullptr; ++i) {
        Sleep(100);
        shown = FindWindowW(nullptr, name.c_str());
    }
    EXPECT_NE(shown, nullptr) << "no file manager showing the folder";
    EXPECT_FALSE(fs::exists(folder / L"explorer.exe.ran"));
    PostMessageW(shown, WM_CLOSE, 0, 0);
}

TEST(DllPlanting, OnlyTheSystemCopyLoads)
{
    // Each row: the probe's command, and whether the DLL planted beside it loads. The first row
    // shows the plant is a real threat here: without the hardening it loads.
    const std::pair<Text, bool> cases[] = {
        {L"load plain bare uxtheme.dll", true},
        {L"load restrict bare uxtheme.dll", false},
        {L"load restrict window uxtheme.dll", false},
        {L"load plain system dwmapi.dll", false},
    };
    for (const auto& [command, plantLoads] : cases) {
        ScratchDir scratch;
        const Text dll = command.substr(command.rfind(L' ') + 1);
        fs::copy_file(helper(L"probe.exe"), scratch.path() / L"dll-probe.exe");
        fs::copy_file(helper(L"plant.dll"), scratch.path() / dll);
        // Wine prefers its built-in DLLs: load this one native first, as Windows does.
        const Text key = L"Software\\Wine\\AppDefaults\\dll-probe.exe";
        RegSetKeyValueW(HKEY_CURRENT_USER, (key + L"\\DllOverrides").c_str(),
                        fs::path(dll).stem().c_str(), REG_SZ, L"native,builtin", 30);
        EXPECT_EQ(run(scratch.path() / L"dll-probe.exe", command, scratch.path()), 0);
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        EXPECT_EQ(fs::exists(scratch.path() / (dll + L".ran")), plantLoads) << command;
    }
}

}  // namespace
}  // namespace fenrallo::test
