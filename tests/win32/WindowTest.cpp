// Form1 as the user meets it: its texts and control kinds, the load-time caption and default
// directory line, keyboard focus, the read-only red run log, and every routed event reaching its
// component through real window messages.
#include <array>
#include <vector>

#include "log/RunLog.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/win32/WindowTestSupport.h"

namespace fenrallo::test {
namespace {

struct ExpectedControl {
    ControlId id;
    const char* name;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD styles;
    DWORD absentStyles;
    bool acceptsDrops;
};

constexpr DWORD kListMustNot = LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL | WS_DISABLED;
// WS_VSCROLL is left out: a list box drops it from its style while nothing needs scrolling.
constexpr DWORD kListMust = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
constexpr DWORD kLabelMustNot = WS_TABSTOP | SS_CENTER | SS_RIGHT | SS_LEFTNOWORDWRAP;

const std::array<ExpectedControl, kControlCount> kExpected = {{
    {ControlId::Label1, "Label1", L"Static", L"待处理文件列表：", SS_NOPREFIX, kLabelMustNot,
     false},
    {ControlId::List1, "List1", L"ListBox", L"", kListMust, kListMustNot, true},
    {ControlId::Label4, "Label4", L"Static", L"默认目录就是程序运行目录", SS_NOPREFIX,
     kLabelMustNot, false},
    {ControlId::Command4, "Command4", L"Button", L"移至默认目录", WS_TABSTOP, WS_DISABLED, false},
    {ControlId::Label2, "Label2", L"Static", L"目标地址（支持拖放）：", SS_NOPREFIX, kLabelMustNot,
     false},
    {ControlId::List2, "List2", L"ListBox", L"", kListMust, kListMustNot, true},
    {ControlId::Command5, "Command5", L"Button", L"移至指定目录", WS_TABSTOP, WS_DISABLED, false},
    {ControlId::Text1, "Text1", L"Edit", L"程序运行信息：", ES_MULTILINE | ES_READONLY,
     WS_DISABLED | WS_TABSTOP, false},
    {ControlId::Command6, "Command6", L"Button", L"打开默认目录", WS_TABSTOP, WS_DISABLED, false},
    {ControlId::Label3, "Label3", L"Static", nullptr, SS_NOPREFIX, kLabelMustNot, false},
}};

bool isReddish(COLORREF pixel)
{
    return GetRValue(pixel) > 150 && GetGValue(pixel) < 110 && GetBValue(pixel) < 110;
}

bool isGreyish(COLORREF pixel)
{
    const int r = GetRValue(pixel);
    return r < 200 && r == GetGValue(pixel) && r == GetBValue(pixel);
}

TEST_F(WindowTest, ControlsHaveTheirTextsKindsAndStyles)
{
    for (const ExpectedControl& want : kExpected) {
        SCOPED_TRACE(want.name);
        const HWND child = control(want.id);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(_wcsicmp(className(child).c_str(), want.windowClass), 0);
        if (want.text != nullptr) {
            EXPECT_EQ(win32::windowText(child), want.text);
        }
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_EXSTYLE));
        EXPECT_EQ(style & want.styles, want.styles);
        EXPECT_EQ(style & want.absentStyles, 0u);
        EXPECT_EQ((exStyle & WS_EX_ACCEPTFILES) != 0, want.acceptsDrops);
    }
}

TEST_F(WindowTest, FrameIsFixedWithOnlyACloseBoxAndTakesNoDrops)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form(), GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(form(), GWL_EXSTYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);
    EXPECT_EQ(exStyle & WS_EX_ACCEPTFILES, 0u);
    EXPECT_NE(GetClassLongPtrW(form(), GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(form(), GCLP_HICONSM), 0);
}

TEST_F(WindowTest, LoadTimeSetupShowsTheProgramDirectory)
{
    // No Windows path is longer than this.
    Text directory(32768, L'\0');
    directory.resize(GetModuleFileNameW(nullptr, directory.data(), 32768));
    directory.resize(directory.rfind(L'\\'));
    EXPECT_EQ(win32::windowText(form()), L"Fenrallo" + directory);
    EXPECT_EQ(textOf(ControlId::Label3), L"默认目录： " + directory);
}

TEST_F(WindowTest, FocusStartsInList1AndTabVisitsTheFiveControlsInOrder)
{
    ASSERT_EQ(GetFocus(), control(ControlId::List1));
    const std::vector<ControlId> forward = {ControlId::Command4, ControlId::List2,
                                            ControlId::Command5, ControlId::Command6,
                                            ControlId::List1};
    const std::vector<ControlId> backward = {ControlId::Command6, ControlId::Command5,
                                             ControlId::List2, ControlId::Command4,
                                             ControlId::List1};
    for (const bool shift : {false, true}) {
        // The dialog manager reads Shift from the thread's key state, as for a real key press.
        std::array<BYTE, 256> keys{};
        GetKeyboardState(keys.data());
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys.data());
        for (const ControlId expected : shift ? backward : forward) {
            MSG press{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {0, 0}};
            EXPECT_TRUE(IsDialogMessageW(form(), &press));
            EXPECT_EQ(GetFocus(), control(expected)) << (shift ? "Shift+Tab" : "Tab");
        }
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys.data());
    }
}

TEST_F(WindowTest, RunLogRefusesFocusAndClicksButKeepsItsText)
{
    const HWND log = control(ControlId::Text1);
    SetFocus(control(ControlId::Command5));
    SetFocus(log);
    EXPECT_EQ(GetFocus(), control(ControlId::Command5));

    const LPARAM inside = MAKELPARAM(20, 8);
    SendMessageW(log, WM_LBUTTONDOWN, MK_LBUTTON, inside);
    SendMessageW(log, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 8));
    SendMessageW(log, WM_LBUTTONUP, 0, MAKELPARAM(120, 8));
    SendMessageW(log, WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    EXPECT_EQ(GetFocus(), control(ControlId::Command5));
    DWORD start = 1;
    DWORD end = 2;
    SendMessageW(log, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end) << "text was selected";
    EXPECT_TRUE(IsWindowEnabled(log));
    EXPECT_EQ(win32::windowText(log), L"程序运行信息：");
}

TEST_F(WindowTest, RunLogScrollBarScrollsTheLog)
{
    const HWND log = control(ControlId::Text1);
    const HWND bar = FindWindowExW(log, nullptr, L"ScrollBar", nullptr);
    ASSERT_NE(bar, nullptr);
    RECT barRect{};
    GetClientRect(bar, &barRect);
    RECT logRect{};
    GetClientRect(log, &logRect);
    RECT textRect{};
    SendMessageW(log, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&textRect));
    EXPECT_LE(textRect.right, logRect.right - barRect.right) << "text runs under the bar";

    Text lines;
    for (int i = 0; i < 30; ++i) {
        lines += L"当前共接收 " + std::to_wstring(i) + L" 个文件\r\n";
    }
    win32::Win32TextBox(log, RunLog::kRed).setText(lines);
    ASSERT_EQ(SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SCROLLINFO shown{};
    shown.cbSize = sizeof shown;
    shown.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &shown));
    EXPECT_EQ(shown.nMax, 30) << "the bar's range follows the log's lines";

    // A click on the down arrow: the bar tracks the button until it is released, and the
    // release is already queued.
    const POINT downArrow{barRect.right / 2, barRect.bottom - barRect.right / 2};
    PostMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(downArrow.x, downArrow.y));
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downArrow.x, downArrow.y));
    pumpMessages();
    const auto first = SendMessageW(log, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 0);
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &shown));
    EXPECT_EQ(shown.nPos, first) << "the bar shows where the log is";
}

TEST_F(WindowTest, OnlyTheRunLogIsPaintedRedAndNotGrey)
{
    for (const ControlId id : {ControlId::Text1, ControlId::Label1, ControlId::Label3}) {
        SCOPED_TRACE(static_cast<int>(id));
        const HWND child = control(id);
        RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        pumpMessages();
        RECT area{};
        GetClientRect(child, &area);
        const HDC source = GetDC(child);
        int red = 0;
        int grey = 0;
        for (int y = 0; y < area.bottom; ++y) {
            for (int x = 0; x < area.right / 3; ++x) {
                const COLORREF pixel = GetPixel(source, x, y);
                red += isReddish(pixel) ? 1 : 0;
                grey += isGreyish(pixel) ? 1 : 0;
            }
        }
        ReleaseDC(child, source);
        if (id == ControlId::Text1) {
            EXPECT_GT(red, 20);
            EXPECT_LT(grey, red / 4);
        } else {
            EXPECT_EQ(red, 0);
            EXPECT_GT(grey, 20);
        }
    }
}

TEST_F(WindowTest, DropsReachTheirListsAndTheRunLog)
{
    const TextList sources = {L"Z:\\in\\a.txt", L"Z:\\in\\文件 b.doc", L"Z:\\in\\c"};
    const HDROP first = makeDrop(sources);
    SendMessageW(control(ControlId::List1), WM_DROPFILES, reinterpret_cast<WPARAM>(first), 0);
    EXPECT_EQ(listEntries(control(ControlId::List1)), sources);
    EXPECT_EQ(textOf(ControlId::Text1), L"以下为任务执行信息：\r\n\r\n当前共接收 3 个文件");
    EXPECT_EQ(GlobalFlags(first), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "drop not released";

    // A later drop's new path goes in at its position within the drop, not at the end.
    drop(ControlId::List1, {L"Z:\\in\\c", L"Z:\\new"});
    const TextList listed = {L"Z:\\in\\a.txt", L"Z:\\new", L"Z:\\in\\文件 b.doc", L"Z:\\in\\c"};
    EXPECT_EQ(listEntries(control(ControlId::List1)), listed);

    const TextList targets = {L"Z:\\out", L"Z:\\elsewhere"};
    drop(ControlId::List2, targets);
    EXPECT_EQ(listEntries(control(ControlId::List2)), targets);
    EXPECT_EQ(listEntries(control(ControlId::List1)), listed);
    EXPECT_EQ(textOf(ControlId::Text1), L"以下为任务执行信息：\r\n\r\n当前共接收 4 个文件");
}

TEST_F(WindowTest, DoubleClickRemovesTheEntryUnderThePointer)
{
    const TextList dropped = {L"Z:\\a", L"Z:\\b", L"Z:\\c"};
    drop(ControlId::List1, dropped);
    const HWND list = control(ControlId::List1);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);

    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    pumpMessages();
    EXPECT_EQ(listEntries(list), dropped) << "a single click removed an entry";

    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    pumpMessages();
    EXPECT_EQ(listEntries(list), (TextList{L"Z:\\a", L"Z:\\c"}));
}

TEST_F(WindowTest, MovingAnEmptyListShowsAWarningOwnedByTheWindow)
{
    for (const ControlId button : {ControlId::Command4, ControlId::Command5}) {
        SCOPED_TRACE(static_cast<int>(button));
        MessageBoxAnswerer answerer;
        click(button);
        const SeenBox& seen = answerer.seen();
        ASSERT_NE(seen.box, nullptr);
        EXPECT_EQ(seen.title, L"程序运行错误");
        EXPECT_EQ(seen.message, L"原始文件未找到!");
        EXPECT_EQ(seen.owner, form());
        // System icons are shared, so the box shows the very handle LoadIconW gives.
        EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_WARNING));
        EXPECT_EQ(seen.buttons, 1);
        EXPECT_TRUE(seen.closedByOk);
        EXPECT_EQ(textOf(ControlId::Text1), L"程序运行信息：");
    }
}

// Routing of the commands whose effects reach outside the window, checked against a fake
// platform placed at a drive root.
class WindowRoutingTest : public WindowTest {
protected:
    void SetUp() override
    {
        platform_.programDirectory = L"Q:\\";
        platform_.entries = {{L"Z:\\in\\a.txt", fake::FakePlatform::Kind::File},
                             {L"Z:\\in\\b", fake::FakePlatform::Kind::File}};
        openWindow(std::make_unique<MainWindow>(platform_));
    }

    fake::FakePlatform platform_;
};

TEST_F(WindowRoutingTest, EachButtonRunsItsCommand)
{
    drop(ControlId::List1, {L"Z:\\in\\a.txt", L"Z:\\in\\b"});
    drop(ControlId::List2, {L"Z:\\out"});

    click(ControlId::Command5);
    EXPECT_EQ(platform_.moves, (std::vector<fake::Move>{{L"Z:\\in\\a.txt", L"Z:\\out\\a.txt"},
                                                        {L"Z:\\in\\b", L"Z:\\out\\b"}}));
    EXPECT_EQ(textOf(ControlId::Text1),
              L"以下为任务执行信息：\r\n\r\n当前共接收 2 个文件本次共移动2个文件");

    platform_.moves.clear();
    platform_.entries = {{L"Z:\\in\\a.txt", fake::FakePlatform::Kind::File}};
    click(ControlId::Command4);
    EXPECT_EQ(platform_.moves, (std::vector<fake::Move>{{L"Z:\\in\\a.txt", L"Q:\\\\a.txt"},
                                                        {L"Z:\\in\\b", L"Q:\\\\b"}}));

    click(ControlId::Command6);
    EXPECT_EQ(platform_.launches, (TextList{L"explorer \"Q:\\\" "}));
    EXPECT_TRUE(platform_.warnings.empty());
}

}  // namespace
}  // namespace fenrallo::test
