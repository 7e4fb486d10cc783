// Form1's controls on screen: created from the layout table, placed and sized for the window's
// DPI with fonts and icons made for it, and made again when the DPI changes. Holds the controls'
// handles and owns the fonts and icons they use; the window owns the controls themselves.
#pragma once

#include <windows.h>

#include <array>

#include "app/Fonts.h"
#include "app/Layout.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo {

// Fixed size, no minimize or maximize box: the controls never move.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kFormExStyle = 0;

// Registers the form's window class, with the program's icon, once per process.
bool registerFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure);

class FormLayout {
public:
    // Creates every control of the table inside `form`, in z-order. False when one could not be
    // created.
    bool createControls(HWND form, HINSTANCE instance);
    // Sizes and places the form for `dpi`.
    void placeForm(UINT dpi);
    // Places every control and gives it its font, and the form its icons, for `dpi`.
    void layoutControls(UINT dpi);

    // Null before createControls() and after forget().
    HWND control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }
    UINT dpi() const { return dpi_; }
    // The form is gone, and its controls with it.
    void forget() { controls_.fill(nullptr); }

private:
    static constexpr std::size_t kIconCount = 2;
    using IconHandle = win32::UniqueHandle<HICON, DestroyIcon>;

    HWND form_ = nullptr;
    HINSTANCE instance_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::array<HWND, kControlCount> controls_{};
    std::array<FontHandle, kFontCount> fonts_;
    std::array<IconHandle, kIconCount> icons_;
};

}  // namespace fenrallo
