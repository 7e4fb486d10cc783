// The items Form1 adds to its window's system menu, below a separator of their own. Each item's
// state is asked for as the menu opens, and an item the menu has lost (a program reset the menu
// with GetSystemMenu(TRUE)) is put back then.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Callback.h"

namespace fenrallo {

class SystemMenu {
public:
    explicit SystemMenu(HWND form) : form_(form) {}

    // Adds an item of command `command` (WM_SYSCOMMAND's low four bits are the system's, and its
    // own commands start at 0xF000). `state` is asked only as the menu opens, never before, so
    // an item that is costly to ask costs nothing until the user looks: MF_GRAYED and MF_CHECKED
    // in what it gives are honoured.
    void add(UINT command, const wchar_t* text, Callback<UINT()> state);
    // On WM_INITMENUPOPUP; `windowMenu` is its lParam's high word.
    void opening(bool windowMenu);

private:
    struct Item {
        UINT command;
        const wchar_t* text;
        Callback<UINT()> state;
    };
    // Puts back whatever item is missing, and with `states`, sets each one's state.
    void refresh(bool states);

    HWND form_;
    std::vector<Item> items_;
};

}  // namespace fenrallo
