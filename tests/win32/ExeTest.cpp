// The real Fenrallo1.0.exe, started from a folder of its own by exe_tests.sh and driven from this
// process as another program on the desktop would: it reads the window through messages any
// process may send, presses buttons with BM_CLICK, pastes files through the clipboard and starts
// the program again with paths.
#include "Support.h"

#include <process.h>
#include <tlhelp32.h>
#include <winternl.h>

#include "app/Layout.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {
namespace {

using namespace std::literals;

// What `find` gives once it is not null, polling every `pause` ms for up to 20 s.
template <typename Find>
auto waitFor(Find find, DWORD pause = 100)
{
    auto found = find();
    for (const ULONGLONG start = GetTickCount64();
         found == decltype(found){} && GetTickCount64() - start < 20000; found = find()) {
        Sleep(pause);
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

// The shown form of `process`, and what its List1 lists once it lists `count` entries, sorted.
std::pair<HWND, TextList> formOf(HANDLE process, std::size_t count)
{
    const HWND form = waitFor([process] {
        HWND found = nullptr;
        DWORD id = 0;
        while ((found = FindWindowExW(nullptr, found, L"Fenrallo.Form1", nullptr)) != nullptr &&
               (GetWindowThreadProcessId(found, &id),
                id != GetProcessId(process) || !IsWindowVisible(found))) {
        }
        return found;
    });
    const win32::Win32ListBox list(GetDlgItem(form, controlCommandId(ControlId::List1)));
    waitFor([&] { return list.count() == static_cast<int>(count); });
    TextList listed;
    for (int i = 0; i < list.count(); ++i) {
        listed.push_back(list.textAt(i));
    }
    std::sort(listed.begin(), listed.end());
    return {form, listed};
}

// What a child of process `parent` runs and its command line, as the child's own memory holds
// them (Wine 8 answers no query for another process's command line); the child is then ended.
// Both empty while there is none.
std::pair<Text, Text> startedChild(DWORD parent)
{
    const OwnedHandle all(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(all.get(), &entry); more;
         more = Process32NextW(all.get(), &entry)) {
        const OwnedHandle child(
            entry.th32ParentProcessID == parent
                ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE,
                              FALSE, entry.th32ProcessID)
                : nullptr);
        const auto read = [&child](const void* from, void* to, std::size_t size) {
            return ReadProcessMemory(child.get(), from, to, size, nullptr) != FALSE;
        };
        PROCESS_BASIC_INFORMATION basic{};
        PEB peb{};
        RTL_USER_PROCESS_PARAMETERS started{};
        // The command line is not yet there in a process just made.
        if (child &&
            NtQueryInformationProcess(child.get(), ProcessBasicInformation, &basic, sizeof basic,
                                      nullptr) == 0 &&
            read(basic.PebBaseAddress, &peb, sizeof peb) &&
            read(peb.ProcessParameters, &started, sizeof started) && started.CommandLine.Length) {
            std::pair<Text, Text> found = {Text(started.ImagePathName.Length / 2, L'\0'),
                                           Text(started.CommandLine.Length / 2, L'\0')};
            read(started.ImagePathName.Buffer, found.first.data(), started.ImagePathName.Length);
            read(started.CommandLine.Buffer, found.second.data(), started.CommandLine.Length);
            TerminateProcess(child.get(), 0);
            return found;
        }
    }
    return {};
}

// Lists `paths` and `target` in another process's window by pasting them into its two lists, as
// copying in the file manager and Ctrl+V would, and clicks 移至指定目录. Each list is pasted into
// until it has them: a program started a moment ago under Wine may not see the clipboard's files
// yet.
void moveTo(HWND form, const TextList& paths, const Text& target)
{
    static const HWND owner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    for (const auto& [id, pasted] :
         {std::pair{ControlId::List1, paths}, {ControlId::List2, {target}}}) {
        const HWND list = GetDlgItem(form, controlCommandId(id));
        const LRESULT before = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < 100 && SendMessageW(list, LB_GETCOUNT, 0, 0) == before; ++i) {
            copyFiles(owner, makeDrop(pasted));
            SendMessageW(list, WM_PASTE, 0, 0);
            Sleep(i == 0 ? 0 : 50);
        }
    }
    PostMessageW(GetDlgItem(form, controlCommandId(ControlId::Command5)), BM_CLICK, 0, 0);
}

TEST(Fenrallo, NamesItsFolderWarnsStartsTheSystemsFileManagerAndUndoesFromItsMenu)
{
    const wchar_t* const folder = _wgetenv(L"FENRALLO_EXE_FOLDER");
    ASSERT_NE(folder, nullptr) << "run through exe_tests.sh, which starts the program";
    const HWND form = shownForm();
    DWORD id = 0;
    GetWindowThreadProcessId(form, &id);
    const auto control = [form](ControlId c) { return GetDlgItem(form, controlCommandId(c)); };
    // Chinese, spaces and a path past MAX_PATH: the caption still names the whole folder.
    EXPECT_EQ(win32::windowText(form), L"Fenrallo" + Text(folder));

    PostMessageW(control(ControlId::Command4), BM_CLICK, 0, 0);
    const HWND box = waitFor([] { return FindWindowW(L"#32770", L"程序运行错误"); });
    ASSERT_NE(box, nullptr) << "no warning box";
    EXPECT_EQ(std::pair(GetWindow(box, GW_OWNER), win32::windowText(GetDlgItem(box, 0xFFFF))),
              std::pair(form, Text(L"原始文件未找到!")));
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(win32::windowText(control(ControlId::Text1)), L"程序运行信息：");

    // 打开默认目录 starts the system's file manager in the program's folder, never the
    // explorer.exe that exe_tests.sh planted beside the program.
    PostMessageW(control(ControlId::Command6), BM_CLICK, 0, 0);
    const auto [started, line] = waitFor([id] { return startedChild(id); });
    // From the Windows directory (Wine runs its own explorer out of system32).
    const Text windows = _wgetenv(L"windir");
    EXPECT_EQ(line, L"\"" + windows + L"\\explorer.exe\" \"" + folder + L"\" ");
    EXPECT_EQ(_wcsnicmp(started.c_str(), (windows + L"\\").c_str(), windows.size() + 1), 0)
        << testing::PrintToString(started);
    EXPECT_EQ(_wcsicmp(fs::path(started).filename().c_str(), L"explorer.exe"), 0);

    // Alt+Space, then Z: the system menu's item takes the last batch back. (Wine keeps a menu to
    // its own process: the window test reads the item's text and state.)
    const Text from = scratchFolder(), to = scratchFolder();
    makeFile(from + L"\\a", "a");
    makeFile(from + L"\\b", "b");
    moveTo(form, {from + L"\\a", from + L"\\b"}, to);
    Text log = L"以下为任务执行信息：\r\n\r\n当前共接收 2 个文件本次共移动2个文件";
    const auto logShown = [&] { return win32::windowText(control(ControlId::Text1)) == log; };
    EXPECT_TRUE(waitFor(logShown));
    PostMessageW(form, WM_SYSCOMMAND, SC_KEYMENU, L' ');
    EXPECT_TRUE(waitFor([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
    PostMessageW(form, WM_CHAR, L'z', 0);  // the open menu reads its thread's keys
    log += L"本次共移动2个文件";
    EXPECT_TRUE(waitFor(logShown));
    EXPECT_EQ(contents(from + L"\\a") + contents(to + L"\\a") + contents(from + L"\\b"),
              "a<missing>b");
    SendMessageW(form, WM_CLOSE, 0, 0);
}

// Each time another Fenrallo1.0.exe, started from where it was built, moves a large file from R:
// to Q:, taking long enough to be caught in the middle of its copy: closed, logged off or killed
// while its data is written, or killed (1) once all of it is written, while it is flushed to Q:'s
// disk.
TEST(Fenrallo, ClosedLoggedOffOrEndedMidCopyLeavesTheFileWholeInOnePlace)
{
    constexpr std::uintmax_t large = 512ULL << 20;
    const Text target = scratchFolder();
    const Text exe = _wgetenv(L"FENRALLO_EXE");
    for (const UINT how : {UINT{WM_CLOSE}, UINT{WM_ENDSESSION}, 0U, 1U}) {
        SCOPED_TRACE(how);
        const OwnedHandle process(reinterpret_cast<HANDLE>(
            _wspawnl(_P_NOWAIT, exe.c_str(), (L"\"" + exe + L"\"").c_str(), nullptr)));
        const HWND form = shownForm();
        const Text source = scratchFolder(L"R:\\") + L"\\large.bin";
        makeFile(source, "");
        fs::resize_file(source, large);
        moveTo(form, {source}, target);
        // Once its data is being written: in the instant between the copy's creation and its mark
        // for deletion, a kill would leave it, empty.
        EXPECT_NE(waitFor([&] { return temporaryCopy(target, how == 1 ? large : 1); }, 0), L"")
            << "no copy under way";
        if (how == WM_CLOSE) {
            SendMessageW(form, WM_CLOSE, 0, 0);
            EXPECT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0)
                << "closing the window must end the program";
        } else if (how == WM_ENDSESSION) {
            EXPECT_EQ(SendMessageW(form, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
            // Windows may end the process the moment this returns.
            SendMessageW(form, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        }
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 20000);
        EXPECT_EQ(fs::file_size(source), large);
        EXPECT_EQ(contents(target + L"\\large.bin"), "<missing>");
        // Stopped first or ended mid-copy, nothing is left: the copy was marked for deletion.
        EXPECT_EQ(temporaryCopy(target), L"");
    }
}

// Copies of the exe in two folders, one started twice at once, then by another spelling of its
// path, with and without paths, the other once.
TEST(Fenrallo, AStartOfTheSameExeFileHandsItsPathsToItsOneWindowAndACopyOpensItsOwn)
{
    const Text here = scratchFolder(), name = L"\\Fenrallo1.0.exe";
    const std::array<Text, 2> exes = {scratchFolder() + name, scratchFolder() + name};
    for (const Text& exe : exes) {
        ASSERT_TRUE(CopyFileW(_wgetenv(L"FENRALLO_EXE"), exe.c_str(), TRUE));
    }
    // Relative paths are made full against the current directory of the start given them.
    SetCurrentDirectoryW(here.c_str());
    const auto start = [](const Text& exe, const Text& arguments) {
        const Text line = L"\"" + exe + L"\" " + arguments;
        return OwnedHandle(
            reinterpret_cast<HANDLE>(_wspawnl(_P_NOWAIT, exe.c_str(), line.c_str(), nullptr)));
    };
    const std::array<OwnedHandle, 2> both = {start(exes[0], L"a \"b c\""),
                                             start(exes[0], L"\"\" 源")};
    const std::array<HANDLE, 2> handles = {both[0].get(), both[1].get()};
    const DWORD ended = WaitForMultipleObjects(2, handles.data(), FALSE, 20000);
    ASSERT_LT(ended, WAIT_OBJECT_0 + 2) << "two windows for one exe";
    const HANDLE first = handles[1 - (ended - WAIT_OBJECT_0)];
    const auto [form, listed] = formOf(first, 3);
    EXPECT_EQ(listed, (TextList{here + L"\\a", here + L"\\b c", here + L"\\源"}));
    ShowWindow(form, SW_MINIMIZE);
    Text upper = exes[0];
    std::transform(upper.begin(), upper.end(), upper.begin(), towupper);
    for (const Text& arguments : {L"d"s, L""s}) {
        EXPECT_EQ(WaitForSingleObject(start(upper, arguments).get(), 20000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(
        std::pair(formOf(first, 4).second, IsIconic(form)),
        std::pair(TextList{here + L"\\a", here + L"\\b c", here + L"\\d", here + L"\\源"}, FALSE));
    const OwnedHandle copy = start(exes[1], L"e");
    const auto [other, its] = formOf(copy.get(), 1);
    EXPECT_EQ(std::pair(other != form, its), std::pair(true, TextList{here + L"\\e"}));
    for (const auto& [window, process] : {std::pair{form, first}, {other, copy.get()}}) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process, 20000), WAIT_OBJECT_0);
    }
}

}  // namespace
}  // namespace fenrallo::test
