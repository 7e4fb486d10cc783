// Installed faces are asked with EnumFontFamiliesExW for the GB2312 set: asking CreateFontW
// would always succeed, quietly handing back a substitute without Chinese glyphs.
#include "app/Fonts.h"

#include <array>
#include <cwchar>

namespace fenrallo {

namespace {

// Windows' own faces first under both their names, then what Linux desktops (and so Wine)
// commonly carry. Micro Hei goes before Zen Hei: Zen Hei's built-in bitmaps for small sizes lose
// strokes ("目录" reads "日求" at 12 px).
constexpr std::array<const wchar_t*, 12> kChineseFaces = {
    L"宋体",
    L"SimSun",
    L"新宋体",
    L"NSimSun",
    L"微软雅黑",
    L"Microsoft YaHei",
    L"黑体",
    L"SimHei",
    L"WenQuanYi Micro Hei",
    L"WenQuanYi Zen Hei",
    L"Noto Sans CJK SC",
    L"Source Han Sans SC",
};

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool hasChineseFace(HDC screen, const wchar_t* face)
{
    LOGFONTW query{};
    query.lfCharSet = GB2312_CHARSET;
    const std::size_t length = std::wcslen(face);
    if (length >= LF_FACESIZE) {
        return false;
    }
    std::wmemcpy(query.lfFaceName, face, length + 1);
    bool found = false;
    EnumFontFamiliesExW(screen, &query, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

Text installedChineseFace(const wchar_t* preferred)
{
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return preferred;
    }
    Text chosen = preferred;
    if (!hasChineseFace(screen, preferred)) {
        for (const wchar_t* face : kChineseFaces) {
            if (hasChineseFace(screen, face)) {
                chosen = face;
                break;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    return chosen;
}

FontHandle createFont(const FontRow& font, UINT dpi)
{
    const Text face = installedChineseFace(font.face);
    const int height = -MulDiv(font.hundredthsOfPoint, static_cast<int>(dpi), 7200);
    return FontHandle(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

}  // namespace fenrallo
