// The main window's controls as data: one row per control, in z-order, with its class, text,
// rectangle in twips, font and styles, plus the window's own place and size. Everything on
// screen is converted from these numbers with the window's DPI, so nothing here is in pixels.
#pragma once

#include <windows.h>

#include <array>

namespace fenrallo {

// In the order of the rows of kControls.
enum class ControlId {
    Label1,
    List1,
    Label4,
    Command4,
    Label2,
    List2,
    Command5,
    Text1,
    Command6,
    Label3
};
constexpr int kControlCount = 10;

enum class FontId { Song12, Song14, YaHei9, Default };
constexpr int kFontCount = 4;

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlRow {
    ControlId id;
    const char* name;
    const wchar_t* windowClass;
    const wchar_t* text;
    TwipsRect twips;
    FontId font;
    DWORD style;
    DWORD exStyle;
};

struct FontRow {
    const wchar_t* face;
    int hundredthsOfPoint;
};

// Constant-initialised (constexpr in Layout.cpp), so no static initialisation order applies.
// NOLINTNEXTLINE(bugprone-dynamic-static-initializers)
extern const std::array<ControlRow, kControlCount> kControls;

// Left and top of the window on the screen; width and height of its client area.
constexpr TwipsRect kWindowTwips{3870, 2385, 12345, 6675};

const ControlRow& controlRow(ControlId id);
const FontRow& fontRow(FontId id);

// Child-window identifiers start above the dialog manager's IDOK/IDCANCEL range.
int controlCommandId(ControlId id);
// False for an identifier that names no control.
bool controlFromCommandId(int commandId, ControlId& id);

int twipsToPixels(int twips, UINT dpi);
RECT pixelRect(const TwipsRect& twips, UINT dpi);

}  // namespace fenrallo
