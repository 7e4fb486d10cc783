// The row is drawn whole on every request, selection and focus changes included: drawn over
// rather than toggled, a focus rectangle can never be left behind inverted. A long path is
// shortened here as DrawTextW's DT_PATH_ELLIPSIS shortens it, from one measurement of the whole
// text: Wine's DrawTextW measures the text again for every length it tries, about a millisecond
// a row, which made a repaint of the rows in sight sixteen times a plain list box's.
#include "app/ListDrawing.h"

#include <algorithm>
#include <vector>

#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

namespace {

// One pixel in, where the plain list box puts its text.
constexpr int kTextInset = 1;

// Text and background of a row in each state, unselected and selected. A stayed entry takes the
// selection's colour as its text, which every theme sets apart from the window's (the link colour,
// COLOR_HOTLIGHT, is a pale grey under Wine), and selected, the text's colours swapped.
struct RowColours {
    int text, back, selectedText, selectedBack;
};
constexpr RowColours kColours[] = {
    {COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_HIGHLIGHTTEXT, COLOR_HIGHLIGHT},  // Untried
    {COLOR_GRAYTEXT, COLOR_WINDOW, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT},     // Moved
    {COLOR_HIGHLIGHT, COLOR_WINDOW, COLOR_WINDOW, COLOR_WINDOWTEXT},         // Stayed
};

}  // namespace

void drawListRow(const DRAWITEMSTRUCT& row)
{
    const bool selected = (row.itemState & ODS_SELECTED) != 0;
    const RowColours& colours =
        kColours[static_cast<std::size_t>(win32::markOf(row.itemData).state)];
    const bool disabled = (row.itemState & ODS_DISABLED) != 0;
    const int textColour =
        selected ? colours.selectedText : (disabled ? COLOR_GRAYTEXT : colours.text);
    const int backColour = selected ? colours.selectedBack : colours.back;
    // An empty list that has the focus asks for a row of its own, with no entry.
    const Text text = row.itemID == static_cast<UINT>(-1)
                          ? Text()
                          : win32::Win32ListBox(row.hwndItem).textAt(static_cast<int>(row.itemID));
    // The list box has its font selected into the DC already.
    const HDC dc = row.hDC;
    const COLORREF foreground = SetTextColor(dc, GetSysColor(textColour));
    const COLORREF background = SetBkColor(dc, GetSysColor(backColour));
    const Text shown = shownText(dc, text, row.rcItem.right - row.rcItem.left - kTextInset);
    ExtTextOutW(dc, row.rcItem.left + kTextInset, row.rcItem.top, ETO_OPAQUE | ETO_CLIPPED,
                &row.rcItem, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
    if ((row.itemState & ODS_FOCUS) != 0 && (row.itemState & ODS_NOFOCUSRECT) == 0) {
        DrawFocusRect(dc, &row.rcItem);
    }
    SetBkColor(dc, background);
    SetTextColor(dc, foreground);
}

Text shownText(HDC dc, const Text& text, int width)
{
    const auto length = static_cast<int>(text.size());
    // ends[i]: how far the text reaches with its first i + 1 characters.
    std::vector<int> ends(text.size());
    SIZE whole{};
    if (length == 0 ||
        !GetTextExtentExPointW(dc, text.c_str(), length, 0, nullptr, ends.data(), &whole) ||
        whole.cx <= width) {
        return text;
    }
    // The last part whole, from its backslash on, after as much of the start as fits with "...".
    const std::size_t name = std::min(text.rfind(L'\\'), text.size() - 1);
    const Text ellipsis = L"...";
    SIZE dots{};
    GetTextExtentPoint32W(dc, ellipsis.c_str(), 3, &dots);
    const int nameWidth = whole.cx - (name == 0 ? 0 : ends[name - 1]);
    const auto kept = std::upper_bound(ends.begin(), ends.begin() + static_cast<long>(name),
                                       width - dots.cx - nameWidth) -
                      ends.begin();
    return text.substr(0, static_cast<std::size_t>(kept)) + ellipsis + text.substr(name);
}

Text rowLines(HWND list, const Text& text)
{
    RECT client{};
    GetClientRect(list, &client);
    const int width = std::max<int>(client.right - kTextInset, 1);
    const HDC dc = GetDC(list);
    const HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    Text lines;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        int fit = 0;
        SIZE size{};
        GetTextExtentExPointW(dc, text.c_str() + start, static_cast<int>(text.size() - start),
                              width, &fit, nullptr, &size);
        end = start + static_cast<std::size_t>(std::max(fit, 1));
        // A line ends after the last backslash on it, where it has one past its start.
        const std::size_t slash = end < text.size() ? text.rfind(L'\\', end - 1) : Text::npos;
        end = slash != Text::npos && slash > start ? slash + 1 : end;
        lines += (start == 0 ? L"" : L"\r\n") + text.substr(start, end - start);
    }
    SelectObject(dc, font);
    ReleaseDC(list, dc);
    return lines;
}

void matchRowHeight(HWND ownerDrawn, HWND plain)
{
    SendMessageW(ownerDrawn, LB_SETITEMHEIGHT, 0, SendMessageW(plain, LB_GETITEMHEIGHT, 0, 0));
}

}  // namespace fenrallo
