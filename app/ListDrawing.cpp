// The row is drawn whole on every request, selection and focus changes included: drawn over
// rather than toggled, a focus rectangle can never be left behind inverted.
#include "app/ListDrawing.h"

#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

namespace {

// One pixel in, where the plain list box puts its text.
constexpr int kTextInset = 1;

int stateColour(EntryMark::State state)
{
    switch (state) {
        case EntryMark::State::Moved:
            return COLOR_GRAYTEXT;
        case EntryMark::State::Stayed:
            return COLOR_HOTLIGHT;
        case EntryMark::State::Untried:
            break;
    }
    return COLOR_WINDOWTEXT;
}

}  // namespace

void drawListRow(const DRAWITEMSTRUCT& row)
{
    const bool selected = (row.itemState & ODS_SELECTED) != 0;
    const EntryMark::State state = win32::markOf(row.itemData).state;
    int textColour = (row.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : stateColour(state);
    int backColour = COLOR_WINDOW;
    if (selected) {
        textColour = COLOR_HIGHLIGHTTEXT;
        backColour = state == EntryMark::State::Untried ? COLOR_HIGHLIGHT : stateColour(state);
    }
    // An empty list that has the focus asks for a row of its own, with no entry.
    const Text text = row.itemID == static_cast<UINT>(-1)
                          ? Text()
                          : win32::Win32ListBox(row.hwndItem).textAt(static_cast<int>(row.itemID));
    // The list box has its font selected into the DC already.
    const HDC dc = row.hDC;
    const COLORREF foreground = SetTextColor(dc, GetSysColor(textColour));
    const COLORREF background = SetBkColor(dc, GetSysColor(backColour));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &row.rcItem, nullptr, 0, nullptr);
    RECT room = row.rcItem;
    room.left += kTextInset;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &room,
              DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if ((row.itemState & ODS_FOCUS) != 0 && (row.itemState & ODS_NOFOCUSRECT) == 0) {
        DrawFocusRect(dc, &row.rcItem);
    }
    SetBkColor(dc, background);
    SetTextColor(dc, foreground);
}

bool fitsRow(HWND list, const Text& text)
{
    RECT client{};
    GetClientRect(list, &client);
    const HDC dc = GetDC(list);
    const HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE extent{};
    const bool fits =
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent) &&
        extent.cx <= client.right - kTextInset;
    SelectObject(dc, font);
    ReleaseDC(list, dc);
    return fits;
}

void matchRowHeight(HWND ownerDrawn, HWND plain)
{
    SendMessageW(ownerDrawn, LB_SETITEMHEIGHT, 0, SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0));
}

}  // namespace fenrallo
