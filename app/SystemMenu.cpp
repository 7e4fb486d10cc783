// The window's own copy of the menu is what GetSystemMenu(FALSE) hands back, making it anew after
// a reset; the menu the message names may then still be the system's shared default one, which
// is never changed.
#include "app/SystemMenu.h"

#include <utility>

namespace fenrallo {

void SystemMenu::add(UINT command, const wchar_t* text, Callback<UINT()> state)
{
    items_.push_back({command, text, std::move(state)});
    refresh(false);
}

void SystemMenu::opening(bool windowMenu)
{
    if (windowMenu) {
        refresh(true);
    }
}

void SystemMenu::refresh(bool states)
{
    const HMENU menu = GetSystemMenu(form_, FALSE);
    for (const Item& item : items_) {
        if (GetMenuState(menu, item.command, MF_BYCOMMAND) == static_cast<UINT>(-1)) {
            // Only the first of the items comes after the separator.
            if (&item == &items_.front()) {
                AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            }
            // Greyed until the menu opens and asks: nothing can be undone at start.
            AppendMenuW(menu, MF_STRING | MF_GRAYED, item.command, item.text);
        }
        if (states) {
            const UINT state = item.state();
            EnableMenuItem(menu, item.command, MF_BYCOMMAND | (state & MF_GRAYED));
            CheckMenuItem(menu, item.command, MF_BYCOMMAND | (state & MF_CHECKED));
        }
    }
}

}  // namespace fenrallo
