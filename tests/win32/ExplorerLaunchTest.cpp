// Opening the program's folder in the file manager must start the system's explorer.exe, never
// one planted in that folder. A probe program sits in a folder that also holds a planted
// explorer.exe (which leaves a marker when run) and is the current directory, and asks for its
// own folder to be opened the way the "open default directory" button does.
#include <gtest/gtest.h>

#include <vector>

#include "PlatformTestSupport.h"

namespace fenrallo::test {
namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM windows)
{
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// Top-level windows of other processes titled `title`: how explorer shows an opened folder.
// GetWindowTextW reads another process's caption without sending it a message that could hang.
std::vector<HWND> foldersShown(const std::wstring& title)
{
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    std::vector<HWND> shown;
    for (const HWND window : all) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        std::wstring text(title.size() + 2, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
        if (process != GetCurrentProcessId() && IsWindowVisible(window) && text == title) {
            shown.push_back(window);
        }
    }
    return shown;
}

OwnedHandle processOf(HWND window, DWORD access)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return OwnedHandle(OpenProcess(access, FALSE, id));
}

std::wstring imageOf(HWND window)
{
    const OwnedHandle process = processOf(window, PROCESS_QUERY_LIMITED_INFORMATION);
    // This call cannot report the length it needs; no Windows path is longer than this.
    std::wstring image(32768, L'\0');
    DWORD length = static_cast<DWORD>(image.size());
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) {
        return {};
    }
    image.resize(length);
    return image;
}

// Closes the file manager's windows and waits for their processes, so no file manager is left
// running into the next test.
void closeAndWaitForExit(const std::vector<HWND>& windows)
{
    std::vector<OwnedHandle> processes;
    for (const HWND window : windows) {
        processes.push_back(processOf(window, SYNCHRONIZE));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    for (const OwnedHandle& process : processes) {
        if (process) {
            WaitForSingleObject(process.get(), 10000);
        }
    }
}

TEST(ExplorerLaunch, RunsOnlyTheSystemExplorer)
{
    // Each row: a PlatformProbe command, and whether the plant runs. The first row shows the
    // plant is a real threat here: found by search, it runs.
    for (const auto& [mode, plantRuns] :
         {std::pair{L"launch-by-search", true}, {L"launch", false}}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(mode)));
        ScratchDir scratch;
        // Spaces and Chinese in the folder name show the argument arrives in one piece.
        const std::wstring folderName = L"默认 目录 " + std::to_wstring(GetCurrentProcessId());
        const fs::path folder = scratch.path() / folderName;
        fs::create_directories(folder);
        const fs::path probe = folder / L"Fenrallo1.0.exe";
        fs::copy_file(helper(L"platform_probe.exe"), probe);
        fs::copy_file(helper(L"plant_explorer.exe"), folder / L"explorer.exe");
        const fs::path marker = folder / L"planted-explorer-ran.txt";

        // Ends before the scratch folder goes, taking a file manager left open with it.
        ChildProcesses children;
        const ChildExit exit = children.run(probe, mode, folder);
        ASSERT_TRUE(exit.ran);
        ASSERT_EQ(exit.code, 0u);

        // The launch does not wait, so look for its effects for a while: the folder's window from
        // the real explorer, or the plant's marker.
        std::vector<HWND> shown;
        for (int i = 0; i < 150 && shown.empty() && !fs::exists(marker); ++i) {
            Sleep(100);
            shown = foldersShown(folderName);
        }
        // Long enough for a plant started alongside to have left its marker.
        Sleep(500);

        EXPECT_EQ(fs::exists(marker), plantRuns);
        if (!plantRuns) {
            ASSERT_EQ(shown.size(), 1u) << "no explorer window showing the folder";
            // Wine's explorer.exe in the Windows directory hands over to the one in system32.
            const fs::path image = lowered(imageOf(shown.front()));
            EXPECT_EQ(image.filename(), L"explorer.exe");
            const std::wstring windows = lowered(systemFolder(GetSystemWindowsDirectoryW));
            EXPECT_EQ(image.wstring().rfind(windows + L"\\", 0), 0u) << image;
        }
        closeAndWaitForExit(foldersShown(folderName));
    }
}

}  // namespace
}  // namespace fenrallo::test
