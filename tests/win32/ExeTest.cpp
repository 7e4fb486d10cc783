// The real Fenrallo1.0.exe, started from a folder of its own by exe_tests.sh and driven from this
// process as another program on the desktop would: it reads the window through messages any
// process may send, presses buttons with BM_CLICK and pastes files through the clipboard.
#include "Support.h"

#include <tlhelp32.h>

#include "app/Layout.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {
namespace {

// What `find` gives once it is not null, polling for up to 20 s.
template <typename Find>
auto waitFor(Find find)
{
    auto found = find();
    for (int i = 0; i < 200 && found == decltype(found){}; ++i, found = find()) {
        Sleep(100);
    }
    return found;
}

// Fenrallo's window once shown: it is found before its controls are made, and shown after.
HWND shownForm()
{
    return waitFor([] {
        const HWND form = FindWindowW(L"Fenrallo.Form1", nullptr);
        return IsWindowVisible(form) ? form : nullptr;
    });
}

// The program a child of process `parent` runs, which is ended, or the empty text while there is
// none.
Text imageOfChild(DWORD parent)
{
    const OwnedHandle all(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    Text image(32768, L'\0');
    auto size = static_cast<DWORD>(image.size());
    for (BOOL more = Process32FirstW(all.get(), &entry); more;
         more = Process32NextW(all.get(), &entry)) {
        const OwnedHandle child(
            entry.th32ParentProcessID == parent
                ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                              entry.th32ProcessID)
                : nullptr);
        if (child && QueryFullProcessImageNameW(child.get(), 0, image.data(), &size)) {
            TerminateProcess(child.get(), 0);
            return image.substr(0, size);
        }
    }
    return {};
}

// Puts `paths` on the clipboard and pastes them into `list` of another process's window, as
// copying in the file manager and Ctrl+V would, until the list has them: a program started a
// moment ago under Wine may not see the clipboard's files yet.
void paste(HWND list, const TextList& paths)
{
    static const HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < 100 && SendMessageW(list, LB_GETCOUNT, 0, 0) == before; ++i) {
        copyFiles(owner, makeDrop(paths));
        SendMessageW(list, WM_PASTE, 0, 0);
        Sleep(i == 0 ? 0 : 50);
    }
}

// The name of the temporary copy in `folder`, or the empty text.
Text temporaryCopy(const Text& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder + L"\\~fenrallo-*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    FindClose(search);
    return found.cFileName;
}

// Copying it takes long enough to be caught in the middle.
constexpr LONGLONG kLarge = 512LL << 20;

// Lists a new large file on R: alone, with `target` on Q:, clicks 移至指定目录 and returns the
// file's name once its copy is under way.
Text startLargeMove(HWND form, const Text& target)
{
    static int serial = 0;
    const Text name = L"\\large-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(++serial) + L".bin";
    {
        const OwnedHandle file(
            CreateFileW((L"R:" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        LARGE_INTEGER end{};
        end.QuadPart = kLarge - 4;
        DWORD written = 0;
        SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN);
        WriteFile(file.get(), "last", 4, &written, nullptr);
    }
    paste(GetDlgItem(form, controlCommandId(ControlId::List1)), {L"R:" + name});
    paste(GetDlgItem(form, controlCommandId(ControlId::List2)), {target});
    PostMessageW(GetDlgItem(form, controlCommandId(ControlId::Command5)), BM_CLICK, 0, 0);
    for (ULONGLONG start = GetTickCount64();
         temporaryCopy(target).empty() && GetTickCount64() - start < 20000;) {
        SwitchToThread();
    }
    EXPECT_NE(temporaryCopy(target), L"")
        << "no copy under way; the log: "
        << testing::PrintToString(
               win32::windowText(GetDlgItem(form, controlCommandId(ControlId::Text1))));
    return name;
}

TEST(Fenrallo, NamesItsFolderWarnsAndStartsTheSystemsFileManager)
{
    const wchar_t* const folder = _wgetenv(L"FENRALLO_EXE_FOLDER");
    ASSERT_NE(folder, nullptr) << "run through exe_tests.sh, which starts the program";
    const HWND form = shownForm();
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

    // 打开默认目录 starts the system's file manager, never the explorer.exe that exe_tests.sh
    // planted beside the program.
    PostMessageW(control(ControlId::Command6), BM_CLICK, 0, 0);
    const Text started = waitFor([id] { return imageOfChild(id); });
    // From the Windows directory (Wine runs its own explorer out of system32).
    Text windows(MAX_PATH, L'\0');
    windows.resize(GetWindowsDirectoryW(windows.data(), MAX_PATH));
    EXPECT_EQ(_wcsnicmp(started.c_str(), (windows + L"\\").c_str(), windows.size() + 1), 0)
        << testing::PrintToString(started);
    EXPECT_EQ(_wcsicmp(fs::path(started).filename().c_str(), L"explorer.exe"), 0);

    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 20000);
}

// Another Fenrallo1.0.exe, started from where it was built, once the last one has ended.
struct Program {
    Program()
    {
        Text line = L"\"" + Text(_wgetenv(L"FENRALLO_EXE")) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &started));
        process = OwnedHandle(started.hProcess);
        const OwnedHandle thread(started.hThread);
        form = shownForm();
    }
    OwnedHandle process;
    HWND form;
};

TEST(Fenrallo, ClosedLoggedOffOrEndedMidCopyLeavesTheFileWholeInOnePlace)
{
    const Text target = scratchFolder();
    for (const UINT how : {UINT{WM_CLOSE}, UINT{WM_ENDSESSION}, 0U}) {
        SCOPED_TRACE(how);
        const Program program;
        const Text large = startLargeMove(program.form, target);
        if (how == WM_CLOSE) {
            SendMessageW(program.form, WM_CLOSE, 0, 0);
            EXPECT_EQ(WaitForSingleObject(program.process.get(), 20000), WAIT_OBJECT_0)
                << "closing the window must end the program";
        } else if (how == WM_ENDSESSION) {
            EXPECT_EQ(SendMessageW(program.form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
            // Windows may end the process the moment this returns.
            SendMessageW(program.form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        }
        TerminateProcess(program.process.get(), 1);
        WaitForSingleObject(program.process.get(), 20000);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ASSERT_TRUE(GetFileAttributesExW((L"R:" + large).c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ((LONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow, kLarge);
        EXPECT_EQ(contents(target + large), "<missing>");
        // Ended at any instant, at most a temporary copy is left; stopped first, not even that.
        EXPECT_EQ(temporaryCopy(target).empty(), how != 0);
        DeleteFileW((target + L"\\" + temporaryCopy(target)).c_str());
    }
}

}  // namespace
}  // namespace fenrallo::test
