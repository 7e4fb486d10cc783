// Win32PlatformServices against the real file system and window system: which entries count as
// ordinary files, what a move does to both ends, the directory a program really started from
// reports, and the warning box a user sees.
#include <gtest/gtest.h>

#include <thread>

#include "PlatformTestSupport.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

// Test names for parameterised cases: each case struct carries its own.
template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& tested)
{
    return tested.param.name;
}

// A path well past MAX_PATH below `base`: three 100-character folders.
fs::path deepFolder(const fs::path& base)
{
    const std::wstring name(100, L'd');
    return base / name / name / name;
}

// --- IsOrdinaryFile -------------------------------------------------------------------------

struct OrdinaryCase {
    const char* name;
    enum Make { File, Folder, Nothing } make;
    DWORD attributes;  // set after creation; 0 leaves them as created
    bool deep;         // below a path longer than MAX_PATH
    const wchar_t* entry;
    bool expected;
};

class IsOrdinaryFile : public testing::TestWithParam<OrdinaryCase> {};

TEST_P(IsOrdinaryFile, TellsOrdinaryFilesFromEverythingElse)
{
    const OrdinaryCase& c = GetParam();
    ScratchDir scratch;
    const fs::path folder = c.deep ? deepFolder(scratch.path()) : scratch.path();
    fs::create_directories(folder);
    const fs::path entry = folder / c.entry;
    if (c.make == OrdinaryCase::File) {
        writeFile(entry, "content");
    } else if (c.make == OrdinaryCase::Folder) {
        fs::create_directory(entry);
    }
    if (c.attributes != 0) {
        ASSERT_TRUE(SetFileAttributesW(entry.c_str(), c.attributes));
        ASSERT_EQ(GetFileAttributesW(entry.c_str()) & c.attributes, c.attributes);
    }

    EXPECT_EQ(Win32PlatformServices().IsOrdinaryFile(entry.wstring()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, IsOrdinaryFile,
    testing::Values(
        OrdinaryCase{"plain_file", OrdinaryCase::File, 0, false, L"a.txt", true},
        OrdinaryCase{"read_only", OrdinaryCase::File, FILE_ATTRIBUTE_READONLY, false, L"r.txt",
                     true},
        OrdinaryCase{"archive", OrdinaryCase::File, FILE_ATTRIBUTE_ARCHIVE, false, L"a.bin", true},
        OrdinaryCase{"chinese_and_emoji", OrdinaryCase::File, 0, false, L"文件 😀.txt", true},
        OrdinaryCase{"past_max_path", OrdinaryCase::File, 0, true, L"deep.txt", true},
        OrdinaryCase{"folder", OrdinaryCase::Folder, 0, false, L"sub", false},
        OrdinaryCase{"hidden", OrdinaryCase::File, FILE_ATTRIBUTE_HIDDEN, false, L"h.txt", false},
        OrdinaryCase{"system", OrdinaryCase::File, FILE_ATTRIBUTE_SYSTEM, false, L"s.txt", false},
        OrdinaryCase{"hidden_read_only", OrdinaryCase::File,
                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false, L"hr.txt", false},
        OrdinaryCase{"missing", OrdinaryCase::Nothing, 0, false, L"gone.txt", false},
        OrdinaryCase{"missing_past_max_path", OrdinaryCase::Nothing, 0, true, L"gone.txt", false}),
    caseName<OrdinaryCase>);

// --- MoveWithoutReplace ---------------------------------------------------------------------

struct MoveCase {
    const char* name;
    bool sourceIsFolder;
    bool sourceExists;
    bool destinationExists;
    bool deep;         // both ends below a path longer than MAX_PATH
    bool otherVolume;  // destination on R:, another file system
    const wchar_t* from;
    const wchar_t* to;
    bool expected;
};

class MoveWithoutReplace : public testing::TestWithParam<MoveCase> {};

// A file holds its bytes directly, a folder in an "inner.txt" inside it.
std::string contentOf(const fs::path& entry, bool folder)
{
    return readFile(folder ? entry / L"inner.txt" : entry);
}

void makeEntry(const fs::path& entry, bool folder, const std::string& bytes)
{
    if (folder) {
        fs::create_directories(entry);
        writeFile(entry / L"inner.txt", bytes);
    } else {
        writeFile(entry, bytes);
    }
}

TEST_P(MoveWithoutReplace, MovesOrLeavesBothEndsAlone)
{
    const MoveCase& c = GetParam();
    if (c.otherVolume && !haveOtherVolume()) {
        GTEST_SKIP() << "needs tools/with-wine's R: drive on another file system";
    }
    ScratchDir scratch;
    ScratchDir destinationScratch(c.otherVolume ? fs::path(L"R:\\") : scratchRoot());
    const fs::path sourceFolder = c.deep ? deepFolder(scratch.path()) : scratch.path();
    const fs::path destinationFolder =
        c.deep ? deepFolder(destinationScratch.path()) : destinationScratch.path();
    fs::create_directories(sourceFolder);
    fs::create_directories(destinationFolder);
    const fs::path source = sourceFolder / c.from;
    const fs::path destination = destinationFolder / c.to;
    if (c.sourceExists) {
        makeEntry(source, c.sourceIsFolder, "moved bytes");
    }
    if (c.destinationExists) {
        makeEntry(destination, c.sourceIsFolder, "bytes already there");
    }

    const bool moved =
        Win32PlatformServices().MoveWithoutReplace(source.wstring(), destination.wstring());

    EXPECT_EQ(moved, c.expected);
    if (c.expected) {
        EXPECT_FALSE(fs::exists(source));
        EXPECT_EQ(contentOf(destination, c.sourceIsFolder), "moved bytes");
    } else {
        EXPECT_EQ(fs::exists(source), c.sourceExists);
        if (c.sourceExists) {
            EXPECT_EQ(contentOf(source, c.sourceIsFolder), "moved bytes");
        }
        if (c.destinationExists) {
            EXPECT_EQ(contentOf(destination, c.sourceIsFolder), "bytes already there");
        } else {
            EXPECT_FALSE(fs::exists(destination));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveWithoutReplace,
    testing::Values(
        MoveCase{"file", false, true, false, false, false, L"a.txt", L"b.txt", true},
        MoveCase{"folder", true, true, false, false, false, L"dir", L"moved dir", true},
        MoveCase{"chinese_and_emoji", false, true, false, false, false, L"报告 😀.txt",
                 L"已移动 🚚.txt", true},
        MoveCase{"past_max_path", false, true, false, true, false, L"deep.txt", L"moved.txt", true},
        MoveCase{"folder_past_max_path", true, true, false, true, false, L"dir", L"moved", true},
        MoveCase{"file_to_other_volume", false, true, false, false, true, L"a.txt", L"a.txt", true},
        MoveCase{"onto_existing_file", false, true, true, false, false, L"a.txt", L"b.txt", false},
        MoveCase{"onto_existing_folder", true, true, true, false, false, L"dir", L"other", false},
        MoveCase{"onto_existing_past_max_path", false, true, true, true, false, L"a.txt", L"b.txt",
                 false},
        MoveCase{"folder_to_other_volume", true, true, false, false, true, L"dir", L"dir", false},
        MoveCase{"missing_source", false, false, false, false, false, L"gone.txt", L"b.txt",
                 false}),
    caseName<MoveCase>);

// --- ProgramDirectory -----------------------------------------------------------------------

struct DirectoryCase {
    const char* name;
    bool driveRoot;         // the program sits at Q:\ itself
    const wchar_t* folder;  // else below a scratch folder
    bool extendedStart;     // started through its \\?\ path
};

class ProgramDirectory : public testing::TestWithParam<DirectoryCase> {};

// The probe is copied there and reports its own ProgramDirectory: the folder a program really
// runs from, not the build folder. Neither Wine nor Windows starts a program from a path past
// MAX_PATH, so that case is left to the module path table below.
TEST_P(ProgramDirectory, IsTheFolderTheProgramRunsFrom)
{
    const DirectoryCase& c = GetParam();
    if (c.driveRoot && !haveScratchDrive()) {
        GTEST_SKIP() << "needs tools/with-wine's scratch drive Q:";
    }
    ScratchDir scratch;
    const fs::path folder = c.driveRoot ? fs::path(L"Q:\\") : scratch.path() / c.folder;
    fs::create_directories(folder);
    const std::wstring probeName = L"probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const fs::path probe = folder / probeName;
    fs::copy_file(helper(L"platform_probe.exe"), probe);
    const fs::path report = scratch.path() / L"report.txt";

    const fs::path started = c.extendedStart ? fs::path(L"\\\\?\\" + probe.wstring()) : probe;
    const ChildExit exit =
        ChildProcesses().run(started, L"directory " + quoted(report.wstring()), scratchRoot());
    if (c.driveRoot) {
        fs::remove(probe);
    }

    ASSERT_TRUE(exit.ran);
    ASSERT_EQ(exit.code, 0u);
    EXPECT_EQ(readUtf16File(report), c.driveRoot ? std::wstring(L"Q:\\") : folder.wstring());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramDirectory,
    testing::Values(DirectoryCase{"plain_folder", false, L"tools", false},
                    DirectoryCase{"spaces_and_chinese", false, L"我的 工具 😀", false},
                    DirectoryCase{"drive_root", true, L"", false},
                    DirectoryCase{"started_through_extended_path", false, L"tools", true}),
    caseName<DirectoryCase>);

struct ModulePathCase {
    const wchar_t* modulePath;
    const wchar_t* directory;
};

const std::wstring kLongName(300, L'x');

TEST(DirectoryOfModulePath, KeepsTheSeparatorOnlyAtDriveRootsAndDropsNeedlessPrefixes)
{
    const std::wstring longDirectory = L"\\\\?\\C:\\" + kLongName;
    const std::wstring longModule = longDirectory + L"\\app.exe";
    const ModulePathCase cases[] = {
        {L"C:\\Tools\\Fenrallo1.0.exe", L"C:\\Tools"},
        {L"C:\\Tools\\工具 😀\\app.exe", L"C:\\Tools\\工具 😀"},
        {L"Q:\\app.exe", L"Q:\\"},
        {L"\\\\server\\share\\dir\\app.exe", L"\\\\server\\share\\dir"},
        {L"\\\\server\\share\\app.exe", L"\\\\server\\share"},
        {L"\\\\?\\C:\\Tools\\app.exe", L"C:\\Tools"},
        {L"\\\\?\\C:\\app.exe", L"C:\\"},
        {L"\\\\?\\UNC\\server\\share\\dir\\app.exe", L"\\\\server\\share\\dir"},
        {L"\\\\?\\unc\\server\\share\\app.exe", L"\\\\server\\share"},
        {longModule.c_str(), longDirectory.c_str()},
        {L"\\\\?\\Volume{0b1c}\\dir\\app.exe", L"\\\\?\\Volume{0b1c}\\dir"},
        {L"app.exe", L""},
        {L"", L""},
    };
    for (const ModulePathCase& c : cases) {
        EXPECT_EQ(win32::directoryOfModulePath(c.modulePath), c.directory) << c.modulePath;
    }
}

TEST(ExtendedLengthPath, PrefixesOnlyAbsolutePathsPastMaxPathAndNormalisesThem)
{
    const std::wstring l = kLongName;
    const std::pair<std::wstring, std::wstring> table[] = {
        {L"C:\\short\\a.txt", L"C:\\short\\a.txt"},
        {L"", L""},
        {L"C:\\" + l + L"\\a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"C:/" + l + L"/a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"C:\\" + l + L"\\..\\" + l + L"\\.\\a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"C:\\\\" + l + L"\\a.txt", L"\\\\?\\C:\\" + l + L"\\a.txt"},
        {L"\\\\server\\share\\" + l, L"\\\\?\\UNC\\server\\share\\" + l},
        {L"\\\\?\\C:\\" + l + L"\\..\\a", L"\\\\?\\C:\\" + l + L"\\..\\a"},
        {L"relative\\" + l, L"relative\\" + l},
    };
    for (const auto& [path, expected] : table) {
        EXPECT_EQ(win32::extendedLengthPath(path), expected) << path;
    }
}

// --- ShowWarning ----------------------------------------------------------------------------

struct SeenBox {
    bool found = false;
    std::wstring title;
    HWND owner = nullptr;
    bool showsPrompt = false;
    HICON icon = nullptr;
    int buttons = 0;
    bool okButton = false;
};

std::wstring className(HWND window)
{
    std::wstring name(256, L'\0');
    name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), 256)));
    return name;
}

BOOL CALLBACK keepVisibleDialog(HWND window, LPARAM found)
{
    if (className(window) == L"#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND findDialogOfThread(DWORD thread)
{
    HWND found = nullptr;
    EnumThreadWindows(thread, keepVisibleDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Reads the box the UI thread is showing, then presses its OK button; gives up (ending the
// box with WM_QUIT) if none appears, so a failure cannot hang the run.
SeenBox inspectAndDismiss(DWORD uiThread, const std::wstring& prompt)
{
    SeenBox seen;
    for (int i = 0; i < 200 && !seen.found; ++i) {
        const HWND box = findDialogOfThread(uiThread);
        if (box == nullptr) {
            Sleep(50);
            continue;
        }
        seen.found = true;
        seen.title = windowText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        HWND okButton = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const std::wstring kind = className(child);
            const LONG style = GetWindowLongW(child, GWL_STYLE);
            if (kind == L"Button") {
                ++seen.buttons;
                if (GetDlgCtrlID(child) == IDOK) {
                    okButton = child;
                }
            } else if (kind == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
                seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            } else if (kind == L"Static" && windowText(child) == prompt) {
                seen.showsPrompt = true;
            }
        }
        seen.okButton = okButton != nullptr;
        if (okButton != nullptr) {
            SendMessageW(okButton, BM_CLICK, 0, 0);
        } else {
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    if (!seen.found) {
        PostThreadMessageW(uiThread, WM_QUIT, 0, 0);
    }
    return seen;
}

using OwnedWindow = win32::UniqueHandle<HWND, DestroyWindow>;

struct OwnerCase {
    const char* name;
    enum { Constructor, SetOwner, None } how;
};

class ShowWarning : public testing::TestWithParam<OwnerCase> {};

TEST_P(ShowWarning, ShowsAModalWarningWithOneOkButtonOwnedByTheMainWindow)
{
    const OwnerCase& c = GetParam();
    const OwnedWindow mainWindow(CreateWindowExW(0, L"STATIC", L"Form1", WS_OVERLAPPEDWINDOW, 0, 0,
                                                 300, 200, nullptr, nullptr,
                                                 GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(mainWindow);
    Win32PlatformServices services(c.how == OwnerCase::Constructor ? mainWindow.get() : nullptr);
    if (c.how == OwnerCase::SetOwner) {
        services.setOwner(mainWindow.get());
    }
    const std::wstring prompt = L"原始文件未找到!";
    const std::wstring title = L"程序运行错误";

    SeenBox seen;
    std::thread inspector(
        [&seen, &prompt, ui = GetCurrentThreadId()] { seen = inspectAndDismiss(ui, prompt); });
    services.ShowWarning(prompt, title);
    inspector.join();

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, title);
    EXPECT_TRUE(seen.showsPrompt);
    // System icons are shared, so the box shows the very handle LoadIconW gives.
    EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_WARNING));
    EXPECT_EQ(seen.buttons, 1);
    EXPECT_TRUE(seen.okButton);
    EXPECT_EQ(seen.owner, c.how == OwnerCase::None ? nullptr : mainWindow.get());
}

INSTANTIATE_TEST_SUITE_P(Owners, ShowWarning,
                         testing::Values(OwnerCase{"owner_from_constructor",
                                                   OwnerCase::Constructor},
                                         OwnerCase{"owner_set_later", OwnerCase::SetOwner},
                                         OwnerCase{"no_owner", OwnerCase::None}),
                         caseName<OwnerCase>);

}  // namespace
}  // namespace fenrallo::test
