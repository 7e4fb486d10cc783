// The row is drawn whole on every request, selection and focus changes included: drawn over
// rather than toggled, a focus rectangle can never be left behind inverted.
#include "app/ListDrawing.h"

#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

void drawListRow(const DRAWITEMSTRUCT& row)
{
    const bool selected = (row.itemState & ODS_SELECTED) != 0;
    const bool marked = win32::markOf(row.itemData).state == EntryMark::State::Moved;
    int textColour = selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
    if ((row.itemState & ODS_DISABLED) != 0 || (marked && !selected)) {
        textColour = COLOR_GRAYTEXT;
    }
    // An empty list that has the focus asks for a row of its own, with no entry.
    const Text text = row.itemID == static_cast<UINT>(-1)
                          ? Text()
                          : win32::Win32ListBox(row.hwndItem).textAt(static_cast<int>(row.itemID));
    // The list box has its font selected into the DC already.
    const HDC dc = row.hDC;
    const COLORREF foreground = SetTextColor(dc, GetSysColor(textColour));
    const COLORREF background =
        SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    // One pixel in, where the plain list box puts its text.
    ExtTextOutW(dc, row.rcItem.left + 1, row.rcItem.top, ETO_OPAQUE | ETO_CLIPPED, &row.rcItem,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if ((row.itemState & ODS_FOCUS) != 0 && (row.itemState & ODS_NOFOCUSRECT) == 0) {
        DrawFocusRect(dc, &row.rcItem);
    }
    SetBkColor(dc, background);
    SetTextColor(dc, foreground);
}

void matchRowHeight(HWND ownerDrawn, HWND plain)
{
    SendMessageW(ownerDrawn, LB_SETITEMHEIGHT, 0, SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0));
}

}  // namespace fenrallo
