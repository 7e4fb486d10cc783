// The window's Chinese fonts, made for one DPI. A face the table names but the machine lacks is
// replaced by one that has GB2312 glyphs, so no text turns into boxes.
#pragma once

#include <windows.h>

#include "app/Layout.h"
#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo {

using FontHandle = win32::UniqueHandle<HFONT, DeleteObject>;

// `preferred` when it is installed with GB2312 glyphs, else the first such face of a list of
// common Chinese faces, else `preferred` (and the font mapper decides).
Text installedChineseFace(const wchar_t* preferred);

// Height -MulDiv(points, dpi, 72) in the GB2312 character set at normal weight.
FontHandle createFont(const FontRow& font, UINT dpi);

}  // namespace fenrallo
