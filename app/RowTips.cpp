// One tooltip with two tools: the list itself, whose text changes with the row under the pointer,
// and a tracked one placed under the selected row. Both belong to the form, so neither needs a
// notification to answer. The list's mouse messages are relayed to the tooltip from the list's
// own subclass: the tooltip's subclassing (TTF_SUBCLASS) reads a window property on each of the
// list's messages, which costs Wine a trip to its server every time and made a large drop,
// thousands of messages, eight times as slow.
#include "app/RowTips.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "app/ListDrawing.h"
#include "app/ReasonText.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

namespace {

constexpr UINT_PTR kKeyboardTool = 1;
constexpr UINT_PTR kHideTimer = 1;

TOOLINFOW tool(HWND form, UINT_PTR id, UINT flags = 0)
{
    TOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = flags;
    info.hwnd = form;
    info.uId = id;
    info.lpszText = const_cast<wchar_t*>(L"");
    return info;
}

// The keyboard's tip goes after as long as the mouse's would stay.
void CALLBACK hideKeyboardTipLater(HWND tip, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(tip, timer);
    TOOLINFOW info = tool(GetWindow(tip, GW_OWNER), kKeyboardTool);
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

Text rowTip(HWND list, int position)
{
    const win32::Win32ListBox box(list);
    if (position < 0 || position >= box.count()) {
        return Text();
    }
    const Text path = box.textAt(position);
    const Text lines = rowLines(list, path);
    Text tip = lines == path ? Text() : lines;
    const EntryMark mark =
        win32::markOf(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(position), 0));
    // A moved entry has a reason too when the undo could not take it back.
    if (mark.state == EntryMark::State::Stayed || mark.reason != 0) {
        tip += (tip.empty() ? L"" : L"\r\n") + reasonText(mark.reason);
    }
    return tip;
}

RowTips::RowTips(HWND form, HWND list) : form_(form), list_(list) {}

bool RowTips::made()
{
    // Made when first needed, by the mouse on the list or a key in it: a window more at start-up
    // cost Wine a tenth of the window's start.
    if (tip_ != nullptr || tried_) {
        return tip_ != nullptr;
    }
    tried_ = true;
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, form_, nullptr, nullptr, nullptr);
    if (tip_ == nullptr) {
        return false;
    }
    TOOLINFOW mouse = tool(form_, reinterpret_cast<UINT_PTR>(list_), TTF_IDISHWND);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&mouse));
    TOOLINFOW keyboard = tool(form_, kKeyboardTool, TTF_TRACK | TTF_ABSOLUTE);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&keyboard));
    SendMessageW(tip_, WM_SETFONT, static_cast<WPARAM>(SendMessageW(list_, WM_GETFONT, 0, 0)),
                 FALSE);
    return true;
}

void RowTips::heard(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        made();
    }
    if (tip_ == nullptr) {
        return;
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        MSG relayed{list_, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
        GetCursorPos(&relayed.pt);
        SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    switch (message) {
        // The list's font draws Chinese, which the system's tooltip font may not.
        case WM_SETFONT:
            SendMessageW(tip_, WM_SETFONT, wParam, FALSE);
            break;
        case WM_MOUSEMOVE: {
            // LB_ITEMFROMPOINT answers in 16 bits; the rows are all as high as the first.
            const auto height = static_cast<int>(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0));
            int row = static_cast<int>(SendMessageW(list_, LB_GETTOPINDEX, 0, 0)) +
                      GET_Y_LPARAM(lParam) / std::max(height, 1);
            row = GET_Y_LPARAM(lParam) < 0 || row >= win32::Win32ListBox(list_).count() ? -1 : row;
            // A row's tip is made anew while it is not shown: a batch may have ended meanwhile.
            if (row != hovered_ || IsWindowVisible(tip_) == FALSE) {
                // The old row's tip goes at once; the new one comes when the mouse rests again.
                if (std::exchange(hovered_, row) != row) {
                    SendMessageW(tip_, TTM_POP, 0, 0);
                }
                setText(reinterpret_cast<UINT_PTR>(list_), rowTip(list_, row));
            }
            break;
        }
        case WM_KILLFOCUS:
        case WM_LBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
            hideKeyboardTip();
            break;
        default:
            break;
    }
}

void RowTips::handled(UINT message)
{
    if (message != WM_KEYDOWN || !made()) {
        return;
    }
    const int row = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0));
    const Text text = rowTip(list_, row);
    if (text.empty()) {
        hideKeyboardTip();
        return;
    }
    setText(kKeyboardTool, text);
    RECT place{};
    SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place));
    MapWindowPoints(list_, HWND_DESKTOP, reinterpret_cast<POINT*>(&place), 2);
    TOOLINFOW info = tool(form_, kKeyboardTool);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(place.left, place.bottom));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    SetTimer(tip_, kHideTimer,
             static_cast<UINT>(SendMessageW(tip_, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)),
             hideKeyboardTipLater);
}

void RowTips::setText(UINT_PTR id, const Text& text)
{
    TOOLINFOW info = tool(form_, id);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void RowTips::hideKeyboardTip()
{
    hideKeyboardTipLater(tip_, 0, kHideTimer, 0);
}

}  // namespace fenrallo
