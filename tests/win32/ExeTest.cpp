// The real Fenrallo1.0.exe, started from a folder of its own by exe_tests.sh and driven from this
// process as another program on the desktop would: it reads the window through messages any
// process may send and presses buttons with BM_CLICK.
#include "Support.h"
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

TEST(Fenrallo, StartsWarnsAndEndsWhenClosed)
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

    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0)
        << "closing the window must end the program";
    TerminateProcess(process.get(), 1);
}

}  // namespace
}  // namespace fenrallo::test
