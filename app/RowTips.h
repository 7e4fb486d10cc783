// List1's tooltip: what a row's colour stands for and what its drawing leaves out, said in words.
// A row that is shortened shows its whole path, and a row whose entry stayed shows why below it.
// The tip appears when the mouse rests on the row and, as Explorer's infotips do, under the row
// selected from the keyboard.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace fenrallo {

// The tip of row `position` of `list`: its whole path, on lines as wide as the list, when the row
// shows it shortened, and below it the reason its entry stayed; empty when neither.
Text rowTip(HWND list, int position);

class RowTips {
public:
    // The tooltip of `list`, a control of `form`, which owns and destroys it. Without the common
    // controls there is none, and no tips.
    RowTips(HWND form, HWND list);
    ~RowTips() = default;
    RowTips(const RowTips&) = delete;
    RowTips& operator=(const RowTips&) = delete;

    // Each message of the list, before the list's own procedure handles it.
    void heard(UINT message, WPARAM wParam, LPARAM lParam);
    // After the list's own procedure handled it.
    void handled(UINT message);

private:
    // The tooltip exists.
    bool made();
    void setText(UINT_PTR tool, const Text& text);
    void hideKeyboardTip();

    HWND form_;
    HWND list_;
    HWND tip_ = nullptr;
    bool tried_ = false;
    int hovered_ = -1;
};

}  // namespace fenrallo
