// Form1 from the keyboard: what a key in a list or a button asks for, which button Enter
// presses, and where the focus goes back to when the window is activated again.
#pragma once

#include <windows.h>

#include "app/Layout.h"

namespace fenrallo {

enum class ListKey {
    None,     // the list box's own
    Paste,    // Ctrl+V, Shift+Insert or WM_PASTE: the clipboard's files, as a drop
    Remove,   // Delete in List1: as a double-click
    Undo,     // Ctrl+Z, alone and not repeated, in a list or a button: the last batch taken back
    Swallow,  // the character Ctrl+V or Ctrl+Z leaves behind in a list
};

ListKey listKey(ControlId control, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog manager turns Enter into IDOK unless the focused button is the default one, which
// only Tab makes it. The button of `form` that has the focus, which Enter must press; null when
// the focus is elsewhere.
HWND focusedButton(HWND form);

// Activation gives the focus to the frame, which has no use for it: it goes on to the control
// that had it last, so Tab keeps working after a message box closes.
class FocusMemory {
public:
    // On WM_ACTIVATE that deactivates `form`.
    void deactivated(HWND form);
    void remember(HWND control) { last_ = control; }
    // On the form's WM_SETFOCUS: the control remembered, else `first`; `fallback` when that one
    // is disabled.
    void restore(HWND first, HWND fallback) const;

private:
    HWND last_ = nullptr;
};

}  // namespace fenrallo
