// Text1, the run log, as users meet it: it shows text and scrolls, nothing more. No caret, no
// selection, no menu and no focus: those messages stop here before the edit sees them.
// Its vertical scroll bar is its own. An edit control with WS_VSCROLL sets and repaints its bar
// on every change of its text; under Wine that costs several milliseconds each time, most of
// what a drop of a thousand files takes. This bar is a scroll bar control inside the log that is
// touched only when what it shows changes, and it scrolls the log as the edit's own bar would.
#pragma once

#include <windows.h>

#include <optional>

namespace fenrallo {

class ReadOnlyLog {
public:
    // Creates the bar inside `log`, a multi-line edit control.
    bool create(HWND log, HINSTANCE instance);
    // Puts the bar at the log's right edge and keeps the text clear of it. Call after the log
    // has its size and font for `dpi`.
    void layout(UINT dpi);

    // A message for the log, before its edit procedure: nothing when the edit should handle it.
    std::optional<LRESULT> filter(UINT message, WPARAM wParam, LPARAM lParam);
    // After the edit procedure handled `message`.
    void handled(UINT message);
    // Answers WM_CTLCOLOREDIT and WM_CTLCOLORSTATIC for the log: its text in `colour`.
    static LRESULT paint(HDC dc, COLORREF colour);

    HWND handle() const { return bar_; }

private:
    // Brings the bar up to date with the log's lines and scroll position.
    void sync();
    // Scrolls the log to its last line, where the newest text is, and brings the bar along.
    void showEnd();
    // Scrolls the log as a WM_VSCROLL from the bar asks.
    void scroll(int request);
    // Hands the focus back to where it came from, or to the form.
    void refuseFocus(HWND previous);

    HWND log_ = nullptr;
    HWND bar_ = nullptr;
    int lineHeight_ = 1;
    SCROLLINFO shown_{};
};

}  // namespace fenrallo
