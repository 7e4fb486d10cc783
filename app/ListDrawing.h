// List1's rows, drawn by the window so that an entry whose file a batch moved shows in the
// system's grey text colour. Everything else draws as in a plain list box: the same text at the
// same place, the system's colours for selection and focus (high contrast too), and grey for
// every row while the list is disabled.
#pragma once

#include <windows.h>

namespace fenrallo {

// Answers WM_DRAWITEM for an owner-drawn list box whose item data is Win32ListBox's mark.
void drawListRow(const DRAWITEMSTRUCT& row);

// An owner-drawn list box measures its rows once, when it is created: after every change of font
// `ownerDrawn` takes the row height of `plain`, a plain list box in the same font.
void matchRowHeight(HWND ownerDrawn, HWND plain);

}  // namespace fenrallo
