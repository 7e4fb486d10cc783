// List1's rows, drawn by the window so that each shows what the last batch that tried its entry
// made of it, in the system's colours (high contrast too): an entry no batch tried as in a plain
// list box, a moved one in grey text, one that stayed in the selection's colour. Selected, each
// has its own background (the selection's colour, grey, the text colour), so the state of the
// selected row shows as well. While the list is disabled every row but the
// selected one is grey. A path too long for its row is shortened in the middle, so that its file
// name shows; the row's text stays the whole path.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace fenrallo {

// Answers WM_DRAWITEM for an owner-drawn list box whose item data is Win32ListBox's mark.
void drawListRow(const DRAWITEMSTRUCT& row);

// `text` as a row `width` pixels wide shows it in the font selected into `dc`: itself when it fits,
// else its last part (from its last backslash on) after as much of its start as fits with "...".
Text shownText(HDC dc, const Text& text, int width);

// `text` on lines no wider than a row of the list box `list`, in its font, each line ending
// after a backslash where it has one: `text` itself when it shows whole in a row.
Text rowLines(HWND list, const Text& text);

// An owner-drawn list box measures its rows once, when it is created: after every change of font
// `ownerDrawn` takes the row height of `plain`, a plain list box in the same font.
void matchRowHeight(HWND ownerDrawn, HWND plain);

}  // namespace fenrallo
