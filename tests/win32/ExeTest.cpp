// The real Fenrallo1.0.exe, started from a folder of its own by exe_tests.sh and driven from this
// process as another program on the desktop would: it reads the window through messages any
// process may send, presses buttons with BM_CLICK and pastes files through the clipboard.
#include "Support.h"

#include <tlhelp32.h>

#include <optional>

#include "app/Layout.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {
namespace {

// What `find` gives once it is not null, polling for up to 20 s.
template <typename Find>
auto waitFor(Find find)
{
    auto found = find();
    for (int i = 0; i < 200 && !found; ++i) {
        Sleep(100);
        found = find();
    }
    return found;
}

// The program a child of process `parent` runs, or nothing while there is none.
std::optional<Text> imageOfChild(DWORD parent)
{
    const OwnedHandle all(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(all.get(), &entry); more;
         more = Process32NextW(all.get(), &entry)) {
        const OwnedHandle child(
            entry.th32ParentProcessID == parent
                ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                              entry.th32ProcessID)
                : nullptr);
        Text image(32768, L'\0');
        auto size = static_cast<DWORD>(image.size());
        if (child && QueryFullProcessImageNameW(child.get(), 0, image.data(), &size)) {
            TerminateProcess(child.get(), 0);
            image.resize(size);
            return image;
        }
    }
    return std::nullopt;
}

TEST(Fenrallo, StartsWarnsMovesAndClosesMidBatchLosingNothing)
{
    const wchar_t* const folder = _wgetenv(L"FENRALLO_EXE_FOLDER");
    ASSERT_NE(folder, nullptr) << "run through exe_tests.sh, which starts the program";
    const HWND form = waitFor([] { return FindWindowW(L"Fenrallo.Form1", nullptr); });
    ASSERT_NE(form, nullptr) << "no window";
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    const OwnedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    const auto control = [form](ControlId c) { return GetDlgItem(form, controlCommandId(c)); };
    // Chinese, spaces and a path past MAX_PATH: the caption still names the whole folder.
    EXPECT_EQ(win32::windowText(form), L"Fenrallo" + Text(folder));
    EXPECT_EQ(win32::windowText(control(ControlId::Label3)), L"默认目录： " + Text(folder));

    PostMessageW(control(ControlId::Command4), BM_CLICK, 0, 0);
    const HWND box = waitFor([] { return FindWindowW(L"#32770", L"程序运行错误"); });
    ASSERT_NE(box, nullptr) << "no warning box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), form);
    EXPECT_EQ(win32::windowText(GetDlgItem(box, 0xFFFF)), L"原始文件未找到!");
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(win32::windowText(control(ControlId::Text1)), L"程序运行信息：");

    // Files and a target pasted as the file manager's Copy leaves them, one batch to its end
    // with a paste and a click thrown in meanwhile, then a second one closed midway.
    ScratchDir scratch;
    const auto makeFiles = [&scratch](const wchar_t* name) {
        makeFolder(scratch.text() + name);
        TextList files;
        for (int i = 0; i < 1500; ++i) {
            files.push_back(scratch.text() + name + name + L" 文件 " + std::to_wstring(i));
            makeFile(files.back(), "bytes");
        }
        return files;
    };
    const Text out = scratch.text() + L"\\out";
    makeFolder(out);
    const HWND clipboardOwner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const auto paste = [&](ControlId list, const TextList& paths) {
        copyFiles(clipboardOwner, paths);
        SendMessageW(control(list), WM_PASTE, 0, 0);
    };
    const auto batchRunning = [&] { return !IsWindowEnabled(control(ControlId::Command5)); };
    const TextList first = makeFiles(L"\\in");
    paste(ControlId::List1, first);
    paste(ControlId::List2, {out});
    PostMessageW(control(ControlId::Command5), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor(batchRunning));
    // Meanwhile only 打开默认目录 answers, and holds the keyboard; the focus then returns.
    const auto focus = [form] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
        return info.hwndFocus;
    };
    for (const ControlId c : {ControlId::Command4, ControlId::List1, ControlId::List2}) {
        EXPECT_FALSE(IsWindowEnabled(control(c))) << static_cast<int>(c);
    }
    EXPECT_TRUE(IsWindowEnabled(control(ControlId::Command6)));
    EXPECT_EQ(focus(), control(ControlId::Command6));
    paste(ControlId::List1, {out});
    SendMessageW(form, WM_COMMAND, controlCommandId(ControlId::Command5), 0);
    ASSERT_TRUE(waitFor([&] { return !batchRunning(); }));
    EXPECT_EQ(focus(), control(ControlId::Command5));
    EXPECT_EQ(win32::windowText(control(ControlId::Text1)),
              L"以下为任务执行信息：\r\n\r\n当前共接收 1500 个文件本次共移动1500个文件");

    // 打开默认目录 starts the system's file manager, never the explorer.exe that exe_tests.sh
    // planted beside the program.
    PostMessageW(control(ControlId::Command6), BM_CLICK, 0, 0);
    const Text started = waitFor([id] { return imageOfChild(id); }).value_or(L"none");
    // From the Windows directory (Wine runs its own explorer out of system32).
    Text windows(MAX_PATH, L'\0');
    windows.resize(GetWindowsDirectoryW(windows.data(), MAX_PATH));
    EXPECT_EQ(_wcsnicmp(started.c_str(), (windows + L"\\").c_str(), windows.size() + 1), 0)
        << testing::PrintToString(started);
    EXPECT_EQ(_wcsicmp(fs::path(started).filename().c_str(), L"explorer.exe"), 0);

    const TextList second = makeFiles(L"\\again");
    paste(ControlId::List1, second);
    PostMessageW(control(ControlId::Command5), BM_CLICK, 0, 0);
    ASSERT_TRUE(waitFor(batchRunning));
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 3000), WAIT_OBJECT_0)
        << "closing the window must end the program";
    // Every file is where it was or at the target, never both, never neither.
    int moved = 0;
    for (const Text& file : second) {
        const bool there = contents(out + file.substr(file.rfind(L'\\'))) == "bytes";
        EXPECT_NE(contents(file) == "bytes", there) << testing::PrintToString(file);
        moved += there ? 1 : 0;
    }
    EXPECT_LT(moved, 1500) << "the batch ended before the window was closed";
    TerminateProcess(process.get(), 1);
    DestroyWindow(clipboardOwner);
}

}  // namespace
}  // namespace fenrallo::test
