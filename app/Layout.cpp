// The control table of Form1. Texts are compared byte for byte by users' habits and by tests:
// full-width and ordinary characters stay exactly as they are.
#include "app/Layout.h"

#include <cstddef>

namespace fenrallo {

namespace {

constexpr int kFirstCommandId = 100;

// SS_NOPREFIX: Label3 shows a directory, and an '&' in it must not turn into an underline.
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
// Unsorted, single selection, exact height (no snapping to whole rows), double clicks reported.
// No horizontal bar: it would only scroll after every entry had been measured, and List2 is too
// low to spare the room.
constexpr DWORD kList = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kListEx = WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES;
// List1 draws its rows itself (app/ListDrawing), and still keeps its texts: the batch, the tests
// and screen readers read them as from any list box.
constexpr DWORD kDrawnList = kList | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
// Read-only rather than disabled: a disabled EDIT paints its text grey whatever colour its parent
// asks for, and the run log must stay red. Focus and mouse input are refused by MainWindow.
constexpr DWORD kLog = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_CLIPCHILDREN;

}  // namespace

// Rows are in z-order: Tab visits the tab stops in this order, and each list comes right after
// the label that names it for screen readers.
// clang-format off
constexpr std::array<ControlRow, kControlCount> kControls = {{
    {ControlId::Label1, "Label1", L"STATIC", L"待处理文件列表：",
     {600, 120, 3855, 255}, FontId::Song12, kLabel, 0},
    {ControlId::List1, "List1", L"LISTBOX", L"",
     {600, 480, 9015, 3120}, FontId::Default, kDrawnList, kListEx},
    {ControlId::Label4, "Label4", L"STATIC", L"默认目录就是程序运行目录",
     {9960, 1200, 1935, 855}, FontId::Song14, kLabel, 0},
    {ControlId::Command4, "Command4", L"BUTTON", L"移至默认目录",
     {9960, 2880, 2055, 500}, FontId::Song12, kButton, 0},
    {ControlId::Label2, "Label2", L"STATIC", L"目标地址（支持拖放）：",
     {600, 3720, 3855, 255}, FontId::Song12, kLabel, 0},
    {ControlId::List2, "List2", L"LISTBOX", L"",
     {600, 4080, 9015, 600}, FontId::Default, kList, kListEx},
    {ControlId::Command5, "Command5", L"BUTTON", L"移至指定目录",
     {9960, 4080, 2055, 500}, FontId::Song12, kButton, 0},
    {ControlId::Text1, "Text1", L"EDIT", L"程序运行信息：",
     {600, 5040, 9015, 735}, FontId::Default, kLog, WS_EX_CLIENTEDGE},
    {ControlId::Command6, "Command6", L"BUTTON", L"打开默认目录",
     {9960, 5280, 2055, 500}, FontId::Song12, kButton, 0},
    {ControlId::Label3, "Label3", L"STATIC", L"Label3",
     {600, 6000, 11535, 375}, FontId::YaHei9, kLabel, 0},
}};
// clang-format on

const ControlRow& controlRow(ControlId id)
{
    return kControls[static_cast<std::size_t>(id)];
}

const FontRow& fontRow(FontId id)
{
    // The table's "default" font would be the system's, which has no Chinese glyphs under Wine;
    // the 9 pt Song face matches the default's size and shows every text of the window.
    static const std::array<FontRow, kFontCount> fonts = {{
        {L"宋体", 1200},
        {L"宋体", 1425},
        {L"微软雅黑", 900},
        {L"宋体", 900},
    }};
    return fonts[static_cast<std::size_t>(id)];
}

int controlCommandId(ControlId id)
{
    return kFirstCommandId + static_cast<int>(id);
}

bool controlFromCommandId(int commandId, ControlId& id)
{
    const int index = commandId - kFirstCommandId;
    if (index < 0 || index >= kControlCount) {
        return false;
    }
    id = static_cast<ControlId>(index);
    return true;
}

int twipsToPixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

RECT pixelRect(const TwipsRect& twips, UINT dpi)
{
    const int left = twipsToPixels(twips.left, dpi);
    const int top = twipsToPixels(twips.top, dpi);
    return {left, top, left + twipsToPixels(twips.width, dpi),
            top + twipsToPixels(twips.height, dpi)};
}

}  // namespace fenrallo
