// The real Fenrallo1.0.exe, started from a folder of its own by exe_tests.sh and driven from this
// process as another program on the desktop would: it reads the window through messages any
// process may send and presses buttons with BM_CLICK.
#include <array>

#include "Support.h"
#include "app/Layout.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {
namespace {

struct Found {
    DWORD process;
    const wchar_t* windowClass;
    HWND owner;
    HWND window;
};

BOOL CALLBACK findWindow(HWND window, LPARAM found)
{
    auto& f = *reinterpret_cast<Found*>(found);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::array<wchar_t, 32> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    if (process == f.process && Text(name.data()) == f.windowClass && IsWindowVisible(window) &&
        (f.owner == nullptr || GetWindow(window, GW_OWNER) == f.owner)) {
        f.window = window;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of `process` of that class (and owner), waiting up to 20 s.
HWND waitForWindow(DWORD process, const wchar_t* windowClass, HWND owner = nullptr)
{
    Found found{process, windowClass, owner, nullptr};
    for (int i = 0; i < 200 && found.window == nullptr; ++i) {
        Sleep(100);
        EnumWindows(findWindow, reinterpret_cast<LPARAM>(&found));
    }
    return found.window;
}

// The copy of Fenrallo1.0.exe that exe_tests.sh started in FENRALLO_EXE_FOLDER.
class Fenrallo {
public:
    Fenrallo()
    {
        for (int i = 0; i < 200 && form_ == nullptr; ++i) {
            Sleep(100);
            form_ = FindWindowW(L"Fenrallo.Form1", nullptr);
        }
        GetWindowThreadProcessId(form_, &id_);
        process_.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id_));
    }
    ~Fenrallo() { TerminateProcess(process_.get(), 1); }
    Fenrallo(const Fenrallo&) = delete;
    Fenrallo& operator=(const Fenrallo&) = delete;

    HWND form() const { return form_; }
    HWND control(ControlId id) const { return GetDlgItem(form_, controlCommandId(id)); }
    Text text(ControlId id) const { return win32::windowText(control(id)); }
    HWND messageBox() const { return waitForWindow(id_, L"#32770", form_); }
    bool endsWithin(DWORD milliseconds) const
    {
        return WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    OwnedHandle process_;
    DWORD id_ = 0;
    HWND form_ = nullptr;
};

TEST(Fenrallo, StartsWarnsAndEndsWhenClosed)
{
    const wchar_t* const folder = _wgetenv(L"FENRALLO_EXE_FOLDER");
    ASSERT_NE(folder, nullptr) << "run through exe_tests.sh, which starts the program";
    Fenrallo app;
    ASSERT_NE(app.form(), nullptr) << "no window";
    EXPECT_EQ(win32::windowText(app.form()), L"Fenrallo" + Text(folder));
    EXPECT_EQ(app.text(ControlId::Label3), L"默认目录： " + Text(folder));

    PostMessageW(app.control(ControlId::Command4), BM_CLICK, 0, 0);
    const HWND box = app.messageBox();
    ASSERT_NE(box, nullptr) << "no warning box owned by the window";
    EXPECT_EQ(win32::windowText(box), L"程序运行错误");
    EXPECT_EQ(win32::windowText(GetDlgItem(box, 0xFFFF)), L"原始文件未找到!");
    SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(app.text(ControlId::Text1), L"程序运行信息：");

    PostMessageW(app.form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.endsWithin(10000)) << "closing the window must end the program";
}

}  // namespace
}  // namespace fenrallo::test
