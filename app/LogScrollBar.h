// The run log's vertical scroll bar. An edit control with its own scroll bar (WS_VSCROLL) sets
// and repaints that bar on every change of its text; under Wine that costs several milliseconds
// each time, most of what a drop of a thousand files takes. This bar is a scroll bar control
// inside the log that is touched only when what it shows changes, and it scrolls the log as the
// edit's own bar would.
#pragma once

#include <windows.h>

namespace fenrallo {

class LogScrollBar {
public:
    // Creates the bar inside `log`, a multi-line edit control.
    bool create(HWND log, HINSTANCE instance);
    // Puts the bar at the log's right edge and keeps the text clear of it. Call after the log
    // has its size and font for `dpi`.
    void layout(UINT dpi);
    // Brings the bar up to date with the log's lines and scroll position.
    void sync();
    // Scrolls the log to its last line, where the newest text is, and brings the bar along.
    void showEnd();
    // Scrolls the log as a WM_VSCROLL from the bar asks.
    void scroll(int request);

    HWND handle() const { return bar_; }

private:
    HWND log_ = nullptr;
    HWND bar_ = nullptr;
    int lineHeight_ = 1;
    SCROLLINFO shown_{};
};

}  // namespace fenrallo
