// Where Form1 and its controls end up on screen, and in which fonts, at the prefix's DPI. The
// expected pixels are written out for 96 and 144 DPI rather than computed, so a wrong conversion
// cannot agree with itself.
#include <array>
#include <cstring>

#include "app/Fonts.h"
#include "tests/win32/WindowTestSupport.h"

namespace fenrallo::test {
namespace {

struct PixelRect {
    LONG left;
    LONG top;
    LONG width;
    LONG height;
};

struct ExpectedPlace {
    ControlId id;
    const char* name;
    PixelRect at96;
    PixelRect at144;
    int fontHeightAt96;
    int fontHeightAt144;
};

// Twips divided by 15 at 96 DPI and by 10 at 144 DPI, halves rounded up as MulDiv does.
// clang-format off
constexpr std::array<ExpectedPlace, kControlCount> kPlaces = {{
    {ControlId::Label1, "Label1", {40, 8, 257, 17}, {60, 12, 386, 26}, -16, -24},
    {ControlId::List1, "List1", {40, 32, 601, 208}, {60, 48, 902, 312}, -12, -18},
    {ControlId::Label4, "Label4", {664, 80, 129, 57}, {996, 120, 194, 86}, -19, -29},
    {ControlId::Command4, "Command4", {664, 192, 137, 33}, {996, 288, 206, 50}, -16, -24},
    {ControlId::Label2, "Label2", {40, 248, 257, 17}, {60, 372, 386, 26}, -16, -24},
    {ControlId::List2, "List2", {40, 272, 601, 40}, {60, 408, 902, 60}, -12, -18},
    {ControlId::Command5, "Command5", {664, 272, 137, 33}, {996, 408, 206, 50}, -16, -24},
    {ControlId::Text1, "Text1", {40, 336, 601, 49}, {60, 504, 902, 74}, -12, -18},
    {ControlId::Command6, "Command6", {664, 352, 137, 33}, {996, 528, 206, 50}, -16, -24},
    {ControlId::Label3, "Label3", {40, 400, 769, 25}, {60, 600, 1154, 38}, -12, -18},
}};
// clang-format on

bool at144()
{
    return expectedDpi() == 144;
}

class LayoutTest : public WindowTest {};

TEST_F(LayoutTest, EveryControlSitsAtItsTableRectangle)
{
    ASSERT_TRUE(expectedDpi() == 96 || expectedDpi() == 144) << "no expected layout for this DPI";
    ASSERT_EQ(window_->dpi(), expectedDpi());
    for (const ExpectedPlace& place : kPlaces) {
        SCOPED_TRACE(place.name);
        const PixelRect& want = at144() ? place.at144 : place.at96;
        RECT got{};
        GetWindowRect(control(place.id), &got);
        MapWindowPoints(HWND_DESKTOP, form(), reinterpret_cast<POINT*>(&got), 2);
        EXPECT_EQ((std::array{got.left, got.top, got.right - got.left, got.bottom - got.top}),
                  (std::array{want.left, want.top, want.width, want.height}));
    }
}

TEST_F(LayoutTest, ClientAreaAndScreenPositionFollowTheTwips)
{
    RECT client{};
    GetClientRect(form(), &client);
    RECT frame{};
    GetWindowRect(form(), &frame);
    EXPECT_EQ((std::array{client.right, client.bottom, frame.left, frame.top}),
              (at144() ? std::array{1235L, 668L, 387L, 239L} : std::array{823L, 445L, 258L, 159L}));
}

TEST_F(LayoutTest, FontsHaveTheTableSizesInAChineseCharacterSet)
{
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    for (const ExpectedPlace& place : kPlaces) {
        SCOPED_TRACE(place.name);
        const auto font =
            reinterpret_cast<HFONT>(SendMessageW(control(place.id), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW logical{};
        ASSERT_EQ(GetObjectW(font, sizeof logical, &logical), static_cast<int>(sizeof logical));
        EXPECT_EQ(logical.lfHeight, at144() ? place.fontHeightAt144 : place.fontHeightAt96);
        EXPECT_EQ(logical.lfCharSet, GB2312_CHARSET);
        EXPECT_EQ(logical.lfWeight, FW_NORMAL);
        EXPECT_FALSE(logical.lfItalic || logical.lfUnderline || logical.lfStrikeOut);

        // The face the mapper really chose must draw Chinese, not boxes.
        const HGDIOBJ previous = SelectObject(dc, font);
        EXPECT_EQ(GetTextCharset(dc), GB2312_CHARSET);
        const wchar_t sample[] = L"待处理默认目录程序运行信息：";
        const int length = static_cast<int>(std::wcslen(sample));
        std::array<WORD, 16> glyphs{};
        ASSERT_EQ(GetGlyphIndicesW(dc, sample, length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS),
                  static_cast<DWORD>(length));
        for (int i = 0; i < length; ++i) {
            EXPECT_NE(glyphs[static_cast<std::size_t>(i)], 0xFFFF) << "no glyph at " << i;
        }
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(FontChoiceTest, FacesWithoutChineseGlyphsAreReplaced)
{
    struct Case {
        const wchar_t* preferred;
        bool kept;
    };
    // Tahoma (Windows) and DejaVu Sans (Wine on Debian) have no Chinese glyphs;
    // tools/install-deps.sh installs WenQuanYi Zen Hei.
    const std::array<Case, 4> cases = {{
        {L"WenQuanYi Zen Hei", true},
        {L"Tahoma", false},
        {L"DejaVu Sans", false},
        {L"No Such Face Anywhere", false},
    }};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(Text(c.preferred)));
        const Text chosen = installedChineseFace(c.preferred);
        EXPECT_EQ(chosen == c.preferred, c.kept);
        // Whatever was chosen, a font of that face in GB2312 must carry Chinese glyphs.
        const HDC dc = CreateCompatibleDC(nullptr);
        const FontHandle font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          GB2312_CHARSET, 0, 0, 0, 0, chosen.c_str()));
        const HGDIOBJ previous = SelectObject(dc, font.get());
        std::array<wchar_t, LF_FACESIZE> face{};
        GetTextFaceW(dc, LF_FACESIZE, face.data());
        EXPECT_EQ(Text(face.data()), chosen);
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
}

}  // namespace
}  // namespace fenrallo::test
