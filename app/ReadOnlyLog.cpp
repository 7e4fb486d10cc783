// Scroll positions are line numbers: the bar's range is the log's lines, its page the lines that
// fit, its position the first line shown.
#include "app/ReadOnlyLog.h"

#include "app/Dpi.h"

namespace fenrallo {

namespace {

bool isMouseClick(UINT message)
{
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool ReadOnlyLog::create(HWND log, HINSTANCE instance)
{
    log_ = log;
    bar_ = CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0,
                           log, nullptr, instance, nullptr);
    shown_ = SCROLLINFO{};
    return bar_ != nullptr;
}

void ReadOnlyLog::layout(UINT dpi)
{
    RECT client{};
    GetClientRect(log_, &client);
    const int width = systemMetricForDpi(SM_CXVSCROLL, dpi);
    MoveWindow(bar_, client.right - width, 0, width, client.bottom, TRUE);

    // The edit lays its text out in the whole client area after a new size or font: narrow it.
    RECT text = client;
    text.right -= width;
    SendMessageW(log_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));

    const HDC dc = GetDC(log_);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(log_, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(log_, dc);
    lineHeight_ = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
    shown_ = SCROLLINFO{};
    sync();
}

void ReadOnlyLog::sync()
{
    RECT text{};
    SendMessageW(log_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    SCROLLINFO wanted{};
    wanted.cbSize = sizeof wanted;
    wanted.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    wanted.nMax = static_cast<int>(SendMessageW(log_, EM_GETLINECOUNT, 0, 0)) - 1;
    wanted.nPage = static_cast<UINT>((text.bottom - text.top) / lineHeight_);
    wanted.nPos = static_cast<int>(SendMessageW(log_, EM_GETFIRSTVISIBLELINE, 0, 0));
    // While every line fits, the bar looks the same whatever the counts: disabled.
    const auto fits = [](const SCROLLINFO& info) {
        return info.nMax < static_cast<int>(info.nPage) && info.nPos == 0;
    };
    const bool same =
        wanted.nMax == shown_.nMax && wanted.nPage == shown_.nPage && wanted.nPos == shown_.nPos;
    if (shown_.cbSize != 0 && (same || (fits(wanted) && fits(shown_)))) {
        return;
    }
    SetScrollInfo(bar_, SB_CTL, &wanted, TRUE);
    shown_ = wanted;
}

void ReadOnlyLog::showEnd()
{
    // Setting an edit's text scrolls it back to its first line.
    SendMessageW(log_, EM_LINESCROLL, 0, SendMessageW(log_, EM_GETLINECOUNT, 0, 0));
    sync();
}

void ReadOnlyLog::scroll(int request)
{
    switch (request) {
        case SB_LINEUP:
        case SB_LINEDOWN:
        case SB_PAGEUP:
        case SB_PAGEDOWN:
            SendMessageW(log_, EM_SCROLL, static_cast<WPARAM>(request), 0);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO track{};
            track.cbSize = sizeof track;
            track.fMask = SIF_TRACKPOS;
            GetScrollInfo(bar_, SB_CTL, &track);
            const auto first = static_cast<int>(SendMessageW(log_, EM_GETFIRSTVISIBLELINE, 0, 0));
            SendMessageW(log_, EM_LINESCROLL, 0, track.nTrackPos - first);
            break;
        }
        case SB_TOP:
        case SB_BOTTOM: {
            const auto first = static_cast<int>(SendMessageW(log_, EM_GETFIRSTVISIBLELINE, 0, 0));
            const auto lines = static_cast<int>(SendMessageW(log_, EM_GETLINECOUNT, 0, 0));
            SendMessageW(log_, EM_LINESCROLL, 0, request == SB_TOP ? -first : lines - first);
            break;
        }
        default:
            break;
    }
    sync();
}

std::optional<LRESULT> ReadOnlyLog::filter(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Clicks on the scroll bar go to the bar's own window and pass.
    if (message == WM_SETFOCUS) {
        refuseFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    if (isMouseClick(message) || message == WM_CONTEXTMENU) {
        return 0;
    }
    if (message == WM_VSCROLL && reinterpret_cast<HWND>(lParam) == bar_) {
        scroll(LOWORD(wParam));
        return 0;
    }
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    return std::nullopt;
}

void ReadOnlyLog::handled(UINT message)
{
    // Once the edit has taken in new text, the log shows its end, where the newest line is; the
    // wheel scrolls the edit itself, and its bar follows.
    if (message == WM_SETTEXT) {
        showEnd();
    } else if (message == WM_MOUSEWHEEL) {
        sync();
    }
}

LRESULT ReadOnlyLog::paint(HDC dc, COLORREF colour)
{
    SetTextColor(dc, colour);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void ReadOnlyLog::refuseFocus(HWND previous)
{
    const HWND form = GetParent(log_);
    SetFocus(previous != nullptr && IsChild(form, previous) && previous != log_ ? previous : form);
}

}  // namespace fenrallo
