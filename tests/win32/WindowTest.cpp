// Form1 in this test's own process, as the user meets it: every control at its place in its
// font at the prefix's DPI, the caption and default-directory line, the focus order, the red run
// log that takes no focus, and every routed event reaching its component through real window
// messages. The expected pixels are written out for 96 and 144 DPI rather than computed, so a
// wrong conversion cannot agree with itself.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <memory>
#include <tuple>
#include <utility>

#include "Support.h"
#include "app/ListDrawing.h"
#include "app/MainWindow.h"
#include "app/ReasonText.h"
#include "app/RowAnnotation.h"
#include "app/RowTips.h"
#include "app/SendTo.h"
#include "app/TaskbarProgress.h"
#include "platform/win32/HandOver.h"
#include "platform/win32/Win32BatchRunner.h"
#include "platform/win32/Win32Widgets.h"
#include "tests/fakes/FakePlatform.h"

namespace fenrallo::test {
namespace {

// The DPI tools/with-wine set the prefix to (FENRALLO_DPI), 96 when it was not set.
const bool kAt144 =
    _wgetenv(L"FENRALLO_DPI") != nullptr && Text(_wgetenv(L"FENRALLO_DPI")) == L"144";

// The keyboard as GetKeyState reads it on this thread: only the one or two keys packed in `keys`
// (low byte, then the next) are down, none for 0.
void holdOnly(int keys)
{
    std::array<BYTE, 256> state{};
    state[keys & 0xFF] = state[keys >> 8] = 0x80;
    state[0] = 0;
    SetKeyboardState(state.data());
}
constexpr int kCtrl = VK_CONTROL;

using enum ControlId;
using Kind = fake::FakePlatform::Kind;
using Runner = win32::Win32BatchRunner;

// Form1 over a fake platform whose program folder is a drive root.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform_.programDirectory = L"Q:\\";
        platform_.entries = {{L"Z:\\in\\a.txt", Kind::File}, {L"Z:\\in\\b", Kind::File}};
        window_ = std::make_unique<MainWindow>(platform_);
        ASSERT_TRUE(window_->create(GetModuleHandleW(nullptr)));
        window_->show(SW_SHOWNORMAL);
        SetForegroundWindow(window_->handle());
        pumpMessages();
    }
    // Closing Form1 posts WM_QUIT, which must not reach the next test.
    void TearDown() override
    {
        window_.reset();
        pumpMessages();
    }

    HWND control(ControlId id) const { return window_->control(id); }
    HWND form() const { return window_->handle(); }
    Text log() const { return win32::windowText(control(Text1)); }
    TextList entries(ControlId list) const
    {
        TextList texts;
        for (int i = 0; i < win32::Win32ListBox(control(list)).count(); ++i) {
            texts.push_back(win32::Win32ListBox(control(list)).textAt(i));
        }
        return texts;
    }
    void drop(ControlId list, const TextList& paths)
    {
        SendMessageW(control(list), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
    }
    // Serves the window as its message loop would until a batch under way has ended.
    void serve()
    {
        for (int i = 0; i < 6000 && !IsWindowEnabled(control(List1)); ++i) {
            Sleep(10);
            pumpMessages();
        }
    }
    void press(UINT key, HWND to, int modifiers = 0, LPARAM flags = 1)
    {
        holdOnly(modifiers);
        MSG message{to, WM_KEYDOWN, key, flags, 0, {0, 0}};
        if (!IsDialogMessageW(form(), &message)) {
            DispatchMessageW(&message);
        }
        holdOnly(0);
    }

    fake::FakePlatform platform_;
    std::unique_ptr<MainWindow> window_;
};

using Place = std::array<LONG, 5>;
constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
// Each control's text; left, top, width, height and font height at 96 and at 144 DPI; style bits;
// whether it takes drops.
// clang-format off
const std::tuple<ControlId, Text, Place, Place, DWORD, bool> kExpected[] = {
    {Label1, L"待处理文件列表：", {40, 8, 257, 17, -16}, {60, 12, 386, 26, -24}, SS_NOPREFIX, false},
    {List1, L"", {40, 32, 601, 208, -12}, {60, 48, 902, 312, -18}, kList | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, true},
    {Label4, L"默认目录就是程序运行目录", {664, 80, 129, 57, -19}, {996, 120, 194, 86, -29}, SS_NOPREFIX, false},
    {Command4, L"移至默认目录", {664, 192, 137, 33, -16}, {996, 288, 206, 50, -24}, WS_TABSTOP, false},
    {Label2, L"目标地址（支持拖放）：", {40, 248, 257, 17, -16}, {60, 372, 386, 26, -24}, SS_NOPREFIX, false},
    {List2, L"", {40, 272, 601, 40, -12}, {60, 408, 902, 60, -18}, kList, true},
    {Command5, L"移至指定目录", {664, 272, 137, 33, -16}, {996, 408, 206, 50, -24}, WS_TABSTOP, false},
    {Text1, L"程序运行信息：", {40, 336, 601, 49, -12}, {60, 504, 902, 74, -18}, ES_MULTILINE | ES_READONLY, false},
    {Command6, L"打开默认目录", {664, 352, 137, 33, -16}, {996, 528, 206, 50, -24}, WS_TABSTOP, false},
    {Label3, L"默认目录： Q:\\", {40, 400, 769, 25, -12}, {60, 600, 1154, 38, -18}, SS_NOPREFIX, false},
};
// clang-format on

TEST_F(WindowTest, ControlsAndFrameSitAtTheirPlacesInTheirFontsAndIconsAndTheLogIsRed)
{
    ASSERT_EQ(window_->dpi(), kAt144 ? 144U : 96U);
    EXPECT_EQ(GetFocus(), control(List1));
    const HDC dc = CreateCompatibleDC(nullptr);
    HWND next = GetWindow(form(), GW_CHILD);
    for (const auto& [id, text, place96, place144, wantedStyle, acceptsDrops] : kExpected) {
        SCOPED_TRACE(static_cast<int>(id));
        const HWND child = control(id);
        // In this order Tab visits the controls that take it, and screen readers name a list
        // after the label just before it.
        EXPECT_EQ(std::exchange(next, GetWindow(next, GW_HWNDNEXT)), child);
        EXPECT_EQ(win32::windowText(child), text);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        EXPECT_EQ(style & (wantedStyle | WS_DISABLED | LBS_SORT | LBS_MULTIPLESEL), wantedStyle);
        EXPECT_EQ((GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, acceptsDrops);
        RECT got{};
        GetWindowRect(child, &got);
        MapWindowPoints(HWND_DESKTOP, form(), reinterpret_cast<POINT*>(&got), 2);
        const auto font = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
        LOGFONTW logical{};
        GetObjectW(font, sizeof logical, &logical);
        EXPECT_EQ((Place{got.left, got.top, got.right - got.left, got.bottom - got.top,
                         logical.lfHeight}),
                  kAt144 ? place144 : place96);
        // The face the mapper really chose must draw Chinese in GB2312 (the font stays selected
        // until the DC goes).
        SelectObject(dc, font);
        EXPECT_EQ(GetTextCharset(dc), GB2312_CHARSET);
    }
    DeleteDC(dc);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(form(), GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
    RECT client{}, frame{};
    GetClientRect(form(), &client);
    GetWindowRect(form(), &frame);
    EXPECT_EQ((std::array{client.right, client.bottom, frame.left, frame.top}),
              (kAt144 ? std::array{1235L, 668L, 387L, 239L} : std::array{823L, 445L, 258L, 159L}));
    // The run log is red, takes no focus nor clicks, and shows its end.
    const HWND edit = control(Text1);
    SetFocus(control(Command5));
    SetFocus(edit);
    for (const UINT mouse : {WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}) {
        SendMessageW(edit, mouse, MK_LBUTTON, MAKELPARAM(mouse == WM_LBUTTONDOWN ? 20 : 120, 8));
    }
    // Nor was any text selected.
    EXPECT_EQ(std::pair(GetFocus(), HIWORD(SendMessageW(edit, EM_GETSEL, 0, 0))),
              std::pair(control(Command5), WORD{0}));
    // Only the log is painted red; a label beside it is grey on grey as usual.
    for (const auto& [id, red] : {std::pair{Text1, true}, {Label1, false}}) {
        RedrawWindow(control(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const HDC painted = GetDC(control(id));
        int reddish = 0;
        for (int i = 0; i < 16 * 120; ++i) {
            const COLORREF pixel = GetPixel(painted, i % 120, i / 120);
            reddish += GetRValue(pixel) > 150 && GetGValue(pixel) < 110 ? 1 : 0;
        }
        ReleaseDC(control(id), painted);
        EXPECT_EQ(reddish > 20, red) << static_cast<int>(id);
    }
    // The newest text is in sight after every change. The log's own bar shows where it is and
    // scrolls it by line, by page, to either end and to the thumb; the wheel scrolls it too.
    SetWindowTextW(edit, Text(30, L'\n').c_str());
    const HWND bar = FindWindowExW(edit, nullptr, L"ScrollBar", nullptr);
    SCROLLINFO shown{sizeof shown, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(bar, SB_CTL, &shown);
    const int page = static_cast<int>(shown.nPage), end = shown.nMax + 1 - page;
    EXPECT_EQ(shown.nMax, 30);
    // clang-format off
    const std::pair<UINT, int> scrolls[] = {
        {SB_ENDSCROLL, end}, {SB_TOP, 0}, {SB_LINEDOWN, 1}, {SB_PAGEDOWN, 1 + page},
        {SB_LINEUP, page}, {SB_PAGEUP, 0}, {SB_THUMBPOSITION, 20}, {SB_BOTTOM, end},
        {WM_MOUSEWHEEL, end - 3}, {SB_LINEUP, end - 4}};
    // clang-format on
    for (const auto& [request, first] : scrolls) {
        request == SB_THUMBPOSITION ? void(SetScrollPos(bar, SB_CTL, first, FALSE)) : void();
        request == WM_MOUSEWHEEL
            ? SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0)
            : SendMessageW(edit, WM_VSCROLL, request, reinterpret_cast<LPARAM>(bar));
        EXPECT_EQ((std::array{SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0),
                              LRESULT{GetScrollPos(bar, SB_CTL)}}),
                  (std::array<LRESULT, 2>{first, first}))
            << request;
    }
    SetWindowTextW(edit, L"x");
    EXPECT_EQ(win32::windowText(edit), L"x");
    // The caption's icon fits the DPI, and List1, which draws its rows itself, has rows as high
    // as List2's plain ones in the same font; both again after the window moved to a 200% monitor.
    const auto iconAndRows = [this] {
        ICONINFO info{};
        GetIconInfo(reinterpret_cast<HICON>(SendMessageW(form(), WM_GETICON, ICON_SMALL, 0)),
                    &info);
        BITMAP bitmap{};
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        return std::pair{bitmap.bmWidth, SendMessageW(control(List1), LB_GETITEMHEIGHT, 0, 0) -
                                             SendMessageW(control(List2), LB_GETITEMHEIGHT, 0, 0)};
    };
    EXPECT_EQ(iconAndRows(), std::pair(kAt144 ? 24L : 16L, LRESULT{0}));
    SendMessageW(form(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&frame));
    EXPECT_EQ(iconAndRows(), std::pair(32L, LRESULT{0}));
}

TEST_F(WindowTest, EachDropClickAndKeyReachesItsComponentAndMovedEntriesAreGrey)
{
    const HWND list = control(List1);
    drop(List1, {L"Z:\\in\\a.txt", L"Z:\\in\\文件 b.doc", L"Z:\\in\\c"});
    // A click selects, a double-click removes the entry under the pointer; Delete the selected
    // one, and selects the next.
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    for (const UINT down : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}) {
        SendMessageW(list, down, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(entries(List1), (TextList{L"Z:\\in\\a.txt", L"Z:\\in\\c"}));
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    press(VK_DELETE, list);
    press(VK_DELETE, list);
    EXPECT_EQ(entries(List1), TextList());
    copyFiles(form(), makeDrop({L"Z:\\in\\a.txt", L"Z:\\in\\b"}));
    press('V', list, kCtrl);
    drop(List2, {L"Z:\\out"});
    // The system menu's item is greyed whenever there is nothing to take back or a batch runs,
    // as the menu opens, even after a reset took it away; each entry whose file moved is marked,
    // and drawn grey.
    std::array<wchar_t, 64> text{};
    GetMenuStringW(GetSystemMenu(form(), FALSE), MainWindow::kUndoCommand, text.data(), 64,
                   MF_BYCOMMAND);
    EXPECT_EQ(Text(text.data()), L"撤销上次移动(&Z)\tCtrl+Z");
    const auto state = [this, list] {  // whether the menu item is greyed, and each entry's mark
        GetSystemMenu(form(), TRUE);
        const HMENU menu = GetSystemMenu(form(), FALSE);
        const int items = GetMenuItemCount(menu);
        SendMessageW(form(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
        EXPECT_EQ(GetMenuItemCount(menu), items + 3);  // the separator, the undo and Send To
        return std::tuple{GetMenuState(menu, MainWindow::kUndoCommand, MF_BYCOMMAND) == MF_GRAYED,
                          SendMessageW(list, LB_GETITEMDATA, 0, 0),
                          SendMessageW(list, LB_GETITEMDATA, 1, 0)};
    };
    EXPECT_EQ(state(), std::tuple(true, 0, 0));
    // A progress post refused (the queue was full) is not waited for: the next one is posted.
    // The taskbar button shows the progress of a batch that lasts until it has ended.
    platform_.pause = std::chrono::milliseconds(600);
    const RefusedPost refused(Runner::kProgressMessage);
    SendMessageW(control(Command4), BM_CLICK, 0, 0);
    MSG progress{};
    while (!PeekMessageW(&progress, form(), Runner::kEndedMessage, Runner::kEndedMessage,
                         PM_NOREMOVE)) {
        Sleep(10);
    }
    platform_.pause = {};
    EXPECT_TRUE(PeekMessageW(&progress, form(), Runner::kProgressMessage, Runner::kProgressMessage,
                             PM_NOREMOVE));
    serve();
    EXPECT_EQ(std::tuple(state(), window_->taskbar().shown()),
              std::tuple(std::tuple(false, 1, 1), std::pair(0, 0)));
    // Ctrl+Z in a button takes the batch back, all but b, whose old path was taken meanwhile and
    // which says so; the focus is back where it was.
    platform_.entries[L"Z:\\in\\b"] = Kind::File;
    press('Z', control(Command4), kCtrl);
    serve();
    const auto taken = static_cast<LRESULT>(
        win32::itemDataOf({EntryMark::State::Moved, fake::FakePlatform::kExists}));
    EXPECT_EQ(std::tuple(state(), GetFocus()),
              std::tuple(std::tuple(true, 0, taken), control(Command4)));
    // The darkest pixel of each row, as it was painted again, is its text's colour.
    const HDC dc = GetDC(list);
    const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    std::array<BYTE, 2> darkest{255, 255};
    for (int i = 0; i < 150 * 2 * height; ++i) {
        BYTE& row = darkest[static_cast<std::size_t>(i / 150 / height)];
        row = std::min(row, GetRValue(GetPixel(dc, i % 150, i / 150)));
    }
    ReleaseDC(list, dc);
    EXPECT_EQ(darkest, (std::array{GetRValue(GetSysColor(COLOR_WINDOWTEXT)),
                                   GetRValue(GetSysColor(COLOR_GRAYTEXT))}));
    SendMessageW(control(Command5), BM_CLICK, 0, 0);
    serve();
    // Enter presses the focused button even when the focus was not put there by Tab.
    SetFocus(control(Command6));
    press(VK_RETURN, control(Command6));
    // clang-format off
    const std::vector<fake::Call> moves{
        {L"Z:\\in\\a.txt", L"Q:\\\\a.txt"}, {L"Z:\\in\\b", L"Q:\\\\b"}, {L"Q:\\\\b", L"Z:\\in\\b"},
        {L"Q:\\\\a.txt", L"Z:\\in\\a.txt"}, {L"Z:\\in\\a.txt", L"Z:\\out\\a.txt"}, {L"Z:\\in\\b", L"Z:\\out\\b"}};
    // clang-format on
    EXPECT_EQ(std::tuple(platform_.moves, log(), platform_.launches),
              std::tuple(moves,
                         Text(L"以下为任务执行信息：\r\n\r\n当前共接收 2 个文件"
                              L"本次共移动2个文件本次共移动1个文件本次共移动2个文件"),
                         TextList{L"explorer \"Q:\\\" "}));

    press(VK_INSERT, control(List2), VK_SHIFT);
    EXPECT_EQ(entries(List2), (TextList{L"Z:\\in\\a.txt", L"Z:\\in\\b", L"Z:\\out"}));
}

// Each row shows its state in its colours, selected or not, the list enabled or not; a long path
// is shortened in the middle but stays whole as the row's text, in its tooltip and for screen
// readers, which also hear each row's state.
TEST_F(WindowTest, RowsShowTheirStateAndLongPathsTheirNamesAndTellBothInWords)
{
    const HWND list = control(List1);
    const Text folder = L"Z:\\" + Text(120, L'长') + L"\\";
    const TextList paths{folder + L"一.txt", folder + L"二.txt", L"Z:\\in\\c", L"Z:\\in\\d"};
    drop(List1, paths);
    win32::Win32ListBox box(list);
    using enum EntryMark::State;
    box.setMark(0, {Stayed, kReasonNotTheFileMoved});
    box.setMark(2, {Moved, 0});
    box.setMark(3, {Stayed, ERROR_SHARING_VIOLATION});
    box.select(2);
    // Each row's background at its right end, and whether its text colour is drawn in it.
    const auto rows = [list](std::initializer_list<int> text) {
        UpdateWindow(list);
        RECT client{};
        GetClientRect(list, &client);
        const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        std::vector<std::pair<COLORREF, bool>> found;
        const HDC dc = GetDC(list);
        for (const int colour : text) {
            const int top = static_cast<int>(found.size()) * height;
            bool drawn = false;
            for (int i = 0; i < client.right * height && !drawn; ++i) {
                drawn =
                    GetPixel(dc, i % client.right, top + i / client.right) == GetSysColor(colour);
            }
            found.emplace_back(GetPixel(dc, client.right - 1, top + 1), drawn);
        }
        ReleaseDC(list, dc);
        return found;
    };
    const COLORREF window = GetSysColor(COLOR_WINDOW), grey = GetSysColor(COLOR_GRAYTEXT);
    const int selectedText = COLOR_HIGHLIGHTTEXT, stayed = COLOR_HIGHLIGHT,
              untried = COLOR_WINDOWTEXT;
    EXPECT_EQ(rows({stayed, untried, selectedText, stayed}),
              (std::vector<std::pair<COLORREF, bool>>{
                  {window, true}, {window, true}, {grey, true}, {window, true}}));
    box.select(3);
    EnableWindow(list, FALSE);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE);
    EXPECT_EQ(rows({COLOR_GRAYTEXT, COLOR_GRAYTEXT, COLOR_GRAYTEXT, COLOR_WINDOW}),
              (std::vector<std::pair<COLORREF, bool>>{
                  {window, true}, {window, true}, {window, true}, {GetSysColor(untried), true}}));
    EnableWindow(list, TRUE);
    // The two long rows differ only at their ends, which show.
    const HDC dc = GetDC(list);
    const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    int differing = 0;
    for (int i = 0; i < 600 * height; ++i) {
        differing +=
            GetPixel(dc, i % 600, i / 600) != GetPixel(dc, i % 600, height + i / 600) ? 1 : 0;
    }
    // Shortened, a path keeps its start and its last part whole, and as much between as fits.
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    const Text cut = shownText(dc, paths[0], 300);
    SIZE size{};
    GetTextExtentPoint32W(dc, cut.c_str(), static_cast<int>(cut.size()), &size);
    ReleaseDC(list, dc);
    EXPECT_TRUE(cut.starts_with(L"Z:\\长") && cut.ends_with(L"长...\\一.txt") && size.cx <= 300 &&
                size.cx > 300 - height)
        << size.cx;
    EXPECT_GT(differing, 10);
    EXPECT_EQ(entries(List1), paths);
    const Text sharing = reasonText(ERROR_SHARING_VIOLATION);
    // A shortened row's tip has its whole path, on lines broken after a backslash.
    TextList tips;
    for (int i = 0; i < 5; ++i) {
        tips.push_back(rowTip(list, i));
        EXPECT_EQ(tips.back().find(L"\\\r\n") != Text::npos, i < 2) << i;
        std::erase(tips.back(), L'\r'), std::erase(tips.back(), L'\n');
    }
    EXPECT_EQ(tips, (TextList{paths[0] + L"新位置上已是另一个文件，未移回", paths[1], L"", sharing,
                              L""}));
    using Said = std::optional<Text>;
    EXPECT_EQ((std::vector<Said>{
                  RowAnnotation::description(list, CHILDID_SELF),
                  RowAnnotation::description(list, 2), RowAnnotation::description(list, 3),
                  RowAnnotation::description(list, 4), RowAnnotation::description(list, 5)}),
              (std::vector<Said>{std::nullopt, std::nullopt, L"已移动", sharing, std::nullopt}));
    // An entry the undo could not take back is still moved, and says why.
    box.setMark(2, {Moved, kReasonNotTheFileMoved});
    EXPECT_EQ(std::pair(RowAnnotation::description(list, 3), rowTip(list, 2)),
              std::pair(Said(L"已移动，新位置上已是另一个文件，未移回"),
                        Text(L"新位置上已是另一个文件，未移回")));
    box.setMark(2, {Moved, 0});
    // The system's words for its own errors, ours for the program's reasons.
    EXPECT_TRUE(!sharing.empty() && sharing.back() != L'\n' && !sharing.starts_with(L"错误代码"));
    EXPECT_EQ((TextList{reasonText(kReasonMovedOntoItself), reasonText(kReasonFolderToOtherVolume),
                        reasonText(0x2000FFFF)}),
              (TextList{L"目标位置就是它现在的位置", L"文件夹不能移动到另一个驱动器",
                        L"错误代码 536936447"}));

    // Selected from the keyboard, a row shows its tip under it, and one with nothing to say none;
    // the mouse resting on a row makes that row's the tooltip's text.
    // The tooltip is made by the first key or mouse move: start-up does not pay for it.
    ASSERT_EQ(FindWindowW(L"tooltips_class32", nullptr), nullptr);
    SetFocus(list);
    std::vector<std::pair<bool, Text>> shown;
    HWND tip = nullptr;
    for (const UINT key : {VK_DOWN, VK_UP, VK_HOME}) {
        press(key, list);
        tip = FindWindowW(L"tooltips_class32", nullptr);
        ASSERT_EQ(GetWindow(tip, GW_OWNER), form());
        shown.emplace_back(IsWindowVisible(tip) != FALSE, win32::windowText(tip));
    }
    EXPECT_EQ(shown, (std::vector<std::pair<bool, Text>>{
                         {true, sharing}, {false, sharing}, {true, rowTip(list, 0)}}));
    RECT row{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    SendMessageW(list, WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 5, row.top + 2));
    std::array<wchar_t, 512> said{};
    TOOLINFOW tool{sizeof tool, 0, form(), reinterpret_cast<UINT_PTR>(list), {}, nullptr,
                   said.data(), 0, nullptr};
    SendMessageW(tip, TTM_GETTEXTW, said.size(), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(Text(said.data()), rowTip(list, 1));
}

TEST_F(WindowTest, ABatchLocksTheListsAndALogoffOrACloseStopsItFirst)
{
    platform_.waitForStop = true;
    drop(List1, {L"Z:\\in\\a.txt", L"Z:\\in\\b"});
    drop(List2, {L"Z:\\out"});
    SetFocus(control(Command5));
    SendMessageW(control(Command5), BM_CLICK, 0, 0);
    while (platform_.waiting == 0) {
        Sleep(1);
    }
    // Meanwhile only 打开默认目录 answers, and holds the keyboard; drops and clicks start nothing,
    // and only the worker's own end message ends the batch.
    for (const ControlId c : {Command4, Command5, List1, List2}) {
        EXPECT_FALSE(IsWindowEnabled(control(c))) << static_cast<int>(c);
    }
    EXPECT_EQ(GetFocus(), control(Command6));
    // Nor is a drop or a paste read: any program may send one, as large as it likes.
    const std::size_t large = 64 << 20;
    const auto grown = [](HWND to, UINT message, HDROP drop) {
        PROCESS_MEMORY_COUNTERS before{}, after{};
        GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
        SendMessageW(to, message, reinterpret_cast<WPARAM>(drop), 0);
        GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
        return after.PeakWorkingSetSize - before.PeakWorkingSetSize;
    };
    const std::string later = pathList({L"Z:\\later"}, true);
    const HDROP dropped = makeBlock(later, true, sizeof(DROPFILES), large);
    EXPECT_LT(grown(control(List1), WM_DROPFILES, dropped), large / 4);
    EXPECT_EQ(GlobalFlags(dropped), static_cast<UINT>(GMEM_INVALID_HANDLE)) << "drop not released";
    copyFiles(form(), makeBlock(later, true, sizeof(DROPFILES), large));
    EXPECT_LT(grown(control(List2), WM_PASTE, nullptr), large / 4);
    SendMessageW(form(), WM_COMMAND, controlCommandId(Command4), 0);
    PostMessageW(form(), Runner::kEndedMessage, 0, 0);
    pumpMessages();
    EXPECT_FALSE(IsWindowEnabled(control(List1)));
    // A logoff is held up; when it comes all the same, the entry in progress ends first, if it
    // can within a few seconds: Windows would end the program anyway.
    EXPECT_EQ(SendMessageW(form(), WM_QUERYENDSESSION, 0, 0), FALSE);
    platform_.deaf = true;
    SendMessageW(form(), WM_ENDSESSION, TRUE, 0);
    platform_.deaf = false;
    EXPECT_EQ(platform_.endedAfterStop, 0);
    SendMessageW(form(), WM_ENDSESSION, TRUE, 0);
    SendMessageW(control(Command6), BM_CLICK, 0, 0);
    serve();
    // A stopped batch goes no further, and the focus is back where it was.
    EXPECT_EQ(
        (std::tuple{platform_.endedAfterStop.load(), platform_.moves.size(), GetFocus(),
                    SendMessageW(form(), WM_QUERYENDSESSION, 0, 0), log()}),
        (std::tuple{1, 1U, control(Command5), LRESULT{TRUE},
                    Text(L"以下为任务执行信息：\r\n\r\n当前共接收 2 个文件本次共移动0个文件")}));

    // Closed mid-batch, the window stays, disabled, until the batch has ended, then goes, even
    // when the close it posts itself then is refused; its controls go with it.
    SendMessageW(control(Command5), BM_CLICK, 0, 0);
    while (platform_.waiting < 2) {
        Sleep(1);
    }
    SendMessageW(form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form()) && !IsWindowEnabled(form()));
    const RefusedPost refused(WM_CLOSE);
    for (int i = 0; i < 2000 && window_->handle() != nullptr; ++i) {
        Sleep(1);
        pumpMessages();
    }
    EXPECT_EQ(std::pair(window_->handle(), window_->control(List1)), std::pair(HWND{}, HWND{}));
}

// What a key or message in a list or a button asks for, with the modifiers held as GetKeyState
// reads them. The dialog manager's WM_GETDLGCODE comes before each key with the same key code.
TEST(ListKeys, OnlyTheirOwnKeysAndMessagesPasteRemoveUndoOrAreSwallowed)
{
    using enum ListKey;
    constexpr int kShift = VK_SHIFT, kCtrlShift = kCtrl | kShift << 8, kRepeat = 0x40000001;
    // clang-format off
    const std::tuple<ControlId, UINT, WPARAM, int, ListKey, LPARAM> cases[] = {
        {List1, WM_KEYDOWN, 'V', kCtrl, Paste, 1}, {List2, WM_KEYDOWN, VK_INSERT, kShift, Paste, 1}, {List1, WM_PASTE, 0, 0, Paste, 0},
        {List1, WM_KEYDOWN, 'V', kShift, None, 1}, {List1, WM_KEYDOWN, VK_INSERT, kCtrl, None, 1}, {List1, WM_GETDLGCODE, 'V', kCtrl, None, 1},
        {List1, WM_KEYUP, 'V', kCtrl, None, 1}, {List2, WM_CHAR, 0x16, kCtrl, Swallow, 1}, {List1, WM_CHAR, 'v', 0, None, 1},
        {List1, WM_KEYDOWN, 0x16, kCtrl, None, 1}, {List1, WM_KEYDOWN, VK_DELETE, 0, Remove, 1}, {List2, WM_KEYDOWN, VK_DELETE, 0, None, 1},
        {List1, WM_KEYUP, VK_DELETE, 0, None, 1}, {List1, WM_GETDLGCODE, VK_DELETE, 0, None, 1},
        {Command4, WM_KEYDOWN, 'Z', kCtrl, Undo, 1}, {List1, WM_KEYDOWN, 'Z', kCtrl, None, kRepeat}, {List2, WM_KEYDOWN, 'Z', kCtrlShift, None, 1},
        {Command5, WM_KEYDOWN, 'Z', kCtrl | VK_MENU << 8, None, 1}, {Command6, WM_KEYDOWN, 'Z', 0, None, 1}, {List1, WM_CHAR, 0x1A, kCtrlShift, Swallow, 1},
    };
    // clang-format on
    for (const auto& [list, message, key, modifiers, wanted, flags] : cases) {
        holdOnly(modifiers);
        EXPECT_EQ(listKey(list, message, key, flags), wanted)
            << message << " " << key << " " << modifiers;
    }
    holdOnly(0);
}

TEST_F(WindowTest, HandedOverPathsAreADropOnList1ThatWaitsForARunningBatchToEnd)
{
    using namespace std::literals;
    const auto handOver = [this](const Text& block, ULONG_PTR tag = win32::kHandOverTag) {
        COPYDATASTRUCT data{tag, static_cast<DWORD>(block.size() * 2),
                            const_cast<wchar_t*>(block.data())};
        return SendMessageW(form(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    };
    ShowWindow(form(), SW_MINIMIZE);
    EXPECT_EQ(std::pair(handOver(L"Z:\\x\0\0"s, 7), IsIconic(form())), std::pair(LRESULT{0}, TRUE));
    EXPECT_EQ(handOver(L"Z:\\in\\a.txt\0Z:\\in\\b\0\0"s), TRUE);
    EXPECT_EQ(std::pair(entries(List1), IsIconic(form())),
              std::pair(TextList{L"Z:\\in\\a.txt", L"Z:\\in\\b"}, FALSE));
    // Mid-batch: kept, up to 32 full blocks in all, and dropped in order once the batch has ended.
    platform_.pause = std::chrono::milliseconds(300);
    SendMessageW(control(Command4), BM_CLICK, 0, 0);
    EXPECT_EQ(handOver(L"Z:\\c\0Z:\\in\\b\0\0"s), TRUE);
    EXPECT_EQ(handOver(L"Z:\\d\0\0"s), TRUE);
    int kept = 0;
    while (handOver(Text(32765, L'p') + L"\0\0"s) == TRUE && kept < 40) {
        ++kept;
    }
    EXPECT_EQ(std::pair(kept, entries(List1).size()), std::pair(31, std::size_t{2}));
    serve();
    EXPECT_EQ(entries(List1),
              (TextList{Text(32765, L'p'), L"Z:\\d", L"Z:\\c", L"Z:\\in\\a.txt", L"Z:\\in\\b"}));
    EXPECT_EQ(log(), L"以下为任务执行信息：\r\n\r\n当前共接收 5 个文件本次共移动2个文件");
}

TEST_F(WindowTest, TheSendToItemAddsAShortcutToThisExeAndRemovesOnlyShortcutsToIt)
{
    using namespace std::literals;
    PWSTR found = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        SHGetKnownFolderPath(FOLDERID_SendTo, KF_FLAG_CREATE, nullptr, &found));
    const Text folder = found;
    CoTaskMemFree(found);
    const HMENU menu = GetSystemMenu(form(), FALSE);
    const auto checked = [this, menu] {
        SendMessageW(form(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(2, TRUE));
        return (GetMenuState(menu, SendToItem::kCommand, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    const auto toggle = [this] { SendMessageW(form(), WM_SYSCOMMAND, SendToItem::kCommand, 0); };
    const Text exe = win32::moduleFileName(), other = folder + L"\\other.lnk";
    const Text ours =
        folder + L"\\Fenrallo - " + fs::path(exe).parent_path().filename().wstring() + L".lnk";
    // Another program's shortcut, to the Windows folder.
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                     reinterpret_cast<void**>(&link));
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    link->SetPath(_wgetenv(L"windir"));
    file->Save(other.c_str(), TRUE);
    file->Release();
    link->Release();
    const std::string foreign = contents(other);
    EXPECT_FALSE(checked());
    toggle();
    EXPECT_EQ(std::pair(checked(), contents(ours).substr(0, 4)), std::pair(true, "L\0\0\0"s));
    // A copy under another name, as if made by hand, is one more shortcut to this exe.
    CopyFileW(ours.c_str(), (folder + L"\\mine.lnk").c_str(), TRUE);
    toggle();
    EXPECT_EQ(
        std::tuple(checked(), contents(ours), contents(folder + L"\\mine.lnk"), contents(other)),
        std::tuple(false, "<missing>"s, "<missing>"s, foreign));
    // Its name taken by another file: nothing is written.
    makeFile(ours, "x");
    toggle();
    EXPECT_EQ(std::pair(checked(), contents(ours)), std::pair(false, "x"s));
    std::array<wchar_t, 64> text{};
    GetMenuStringW(menu, SendToItem::kCommand, text.data(), 64, MF_BYCOMMAND);
    EXPECT_EQ(Text(text.data()), L"添加到“发送到”菜单(&S)");
    for (const auto& [path, name] : {std::pair{L"D:\\F.exe", L"Fenrallo - D.lnk"},
                                     {L"\\\\?\\C:\\a b\\源\\F.exe", L"Fenrallo - 源.lnk"},
                                     {L"\\\\s\\share\\F.exe", L"Fenrallo - share.lnk"}}) {
        EXPECT_EQ(sendToShortcutName(path), name);
    }
    CoUninitialize();
}

}  // namespace
}  // namespace fenrallo::test
