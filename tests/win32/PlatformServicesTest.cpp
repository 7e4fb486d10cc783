// Win32PlatformServices against the real file system: which entries count as ordinary files,
// what a move does to both ends, and the directory a program really started from reports. The
// hard moves (foreign names, paths past MAX_PATH, clashes, other volumes) are checked file by
// file in HostileInputTest; the warning box in WindowTest, as the main window shows it.
#include <gtest/gtest.h>

#include "PlatformTestSupport.h"

namespace fenrallo::test {
namespace {

using win32::Win32PlatformServices;

TEST(IsOrdinaryFile, TellsOrdinaryFilesFromEverythingElse)
{
    enum Make { File, Folder, Nothing };
    struct Case {
        const char* name;
        Make make;
        DWORD attributes;
        bool deep;  // below a path longer than MAX_PATH
        const wchar_t* entry;
        bool expected;
    };
    const Case cases[] = {
        {"plain file", File, 0, false, L"a.txt", true},
        {"read-only", File, FILE_ATTRIBUTE_READONLY, false, L"r.txt", true},
        {"Chinese and emoji", File, 0, false, L"文件 😀.txt", true},
        {"past MAX_PATH", File, 0, true, L"deep.txt", true},
        {"folder", Folder, 0, false, L"sub", false},
        {"hidden", File, FILE_ATTRIBUTE_HIDDEN, false, L"h.txt", false},
        {"system", File, FILE_ATTRIBUTE_SYSTEM, false, L"s.txt", false},
        {"missing", Nothing, 0, false, L"gone.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        const Text folder = c.deep ? deepFolder(scratch.text() + L"\\deep") : scratch.text();
        const Text entry = folder + L"\\" + c.entry;
        if (c.make == File) {
            makeFile(entry, "content", c.attributes);
            ASSERT_EQ(GetFileAttributesW(win32::extendedLengthPath(entry).c_str()) & c.attributes,
                      c.attributes);
        } else if (c.make == Folder) {
            makeFolder(entry);
        }
        EXPECT_EQ(Win32PlatformServices().IsOrdinaryFile(entry), c.expected);
    }
}

// A file holds its bytes directly, a folder in an "inner.txt" inside it.
void makeEntry(const Text& entry, bool folder, const std::string& bytes)
{
    if (folder) {
        makeFolder(entry);
    }
    makeFile(folder ? entry + L"\\inner.txt" : entry, bytes);
}

std::string contentOf(const Text& entry, bool folder)
{
    return readFile(folder ? entry + L"\\inner.txt" : entry);
}

TEST(MoveWithoutReplace, MovesOrLeavesBothEndsAlone)
{
    struct Case {
        const char* name;
        bool folder;
        bool sourceExists;
        bool destinationExists;
        bool expected;
    };
    const Case cases[] = {
        {"file", false, true, false, true},
        {"folder", true, true, false, true},
        {"onto an existing file", false, true, true, false},
        {"onto an existing folder", true, true, true, false},
        {"missing source", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        const Text source = scratch.text() + L"\\源 😀";
        const Text destination = scratch.text() + L"\\目标";
        if (c.sourceExists) {
            makeEntry(source, c.folder, "moved bytes");
        }
        if (c.destinationExists) {
            makeEntry(destination, c.folder, "bytes already there");
        }

        EXPECT_EQ(Win32PlatformServices().MoveWithoutReplace(source, destination), c.expected);

        EXPECT_EQ(exists(source), c.sourceExists && !c.expected);
        EXPECT_EQ(exists(destination), c.expected || c.destinationExists);
        if (exists(source)) {
            EXPECT_EQ(contentOf(source, c.folder), "moved bytes");
        }
        if (exists(destination)) {
            EXPECT_EQ(contentOf(destination, c.folder),
                      c.expected ? "moved bytes" : "bytes already there");
        }
    }
}

// The probe is copied there and reports its own ProgramDirectory: the folder a program really
// runs from, not the build folder. Neither Wine nor Windows starts a program from a path past
// MAX_PATH, so that case is left to the module path table below.
TEST(ProgramDirectory, IsTheFolderTheProgramRunsFrom)
{
    ASSERT_TRUE(haveScratchDrive()) << "run under tools/with-wine, which maps Q:";
    for (const wchar_t* place : {L"tools", L"我的 工具 😀", L"Q:\\"}) {
        SCOPED_TRACE(testing::PrintToString(Text(place)));
        ScratchDir scratch;
        const bool driveRoot = place == Text(L"Q:\\");
        const fs::path folder = driveRoot ? fs::path(place) : scratch.path() / place;
        fs::create_directories(folder);
        const fs::path probe =
            folder / (L"probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe");
        fs::copy_file(helper(L"platform_probe.exe"), probe);
        const fs::path report = scratch.path() / L"report.txt";

        const ChildExit exit =
            ChildProcesses().run(probe, L"directory " + quoted(report.wstring()), scratchRoot());
        if (driveRoot) {
            fs::remove(probe);
        }

        ASSERT_TRUE(exit.ran);
        ASSERT_EQ(exit.code, 0u);
        EXPECT_EQ(readUtf16File(report), driveRoot ? Text(L"Q:\\") : folder.wstring());
    }
}

const std::wstring kLongName(300, L'x');

TEST(DirectoryOfModulePath, KeepsTheSeparatorOnlyAtDriveRootsAndDropsNeedlessPrefixes)
{
    const std::wstring longDirectory = L"\\\\?\\C:\\" + kLongName;
    const std::wstring longModule = longDirectory + L"\\app.exe";
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
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
    for (const auto& [modulePath, directory] : cases) {
        EXPECT_EQ(win32::directoryOfModulePath(modulePath), directory) << modulePath;
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

}  // namespace
}  // namespace fenrallo::test
