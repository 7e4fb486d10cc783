// Everything on screen is converted from the table's twips with the window's DPI at the moment
// it is laid out; nothing is kept in pixels between two layouts.
#include "app/FormLayout.h"

#include <utility>

#include "app/Dpi.h"

namespace fenrallo {

namespace {

constexpr int kIconId = 1;

}  // namespace

bool registerFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, className, &windowClass)) {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    // Shared icons belong to the system and live as long as the class, which is the process.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = className;
    return RegisterClassExW(&windowClass) != 0;
}

bool FormLayout::createControls(HWND form, HINSTANCE instance)
{
    form_ = form;
    instance_ = instance;
    // Creation order is z-order, which is both the order Tab visits the controls in and how
    // screen readers name a list: after the label just before it.
    for (const ControlRow& entry : kControls) {
        const HWND created = CreateWindowExW(
            entry.exStyle, entry.windowClass, entry.text, WS_CHILD | WS_VISIBLE | entry.style, 0, 0,
            0, 0, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlCommandId(entry.id))),
            instance, nullptr);
        if (created == nullptr) {
            return false;
        }
        controls_[static_cast<std::size_t>(entry.id)] = created;
        // Run as administrator, the program would otherwise never see drops from the file
        // manager, which runs with less privilege (0x49 carries the drop's data between the two).
        if ((entry.exStyle & WS_EX_ACCEPTFILES) != 0) {
            for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}}) {
                ChangeWindowMessageFilterEx(created, message, MSGFLT_ALLOW, nullptr);
            }
        }
    }
    return true;
}

void FormLayout::placeForm(UINT dpi)
{
    const RECT client{0, 0, twipsToPixels(kWindowTwips.width, dpi),
                      twipsToPixels(kWindowTwips.height, dpi)};
    const RECT frame = frameForClient(client, kFormStyle, kFormExStyle, dpi);
    SetWindowPos(form_, nullptr, twipsToPixels(kWindowTwips.left, dpi),
                 twipsToPixels(kWindowTwips.top, dpi), frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormLayout::layoutControls(UINT dpi)
{
    dpi_ = dpi;
    std::array<FontHandle, kFontCount> fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        fonts[i] = createFont(fontRow(static_cast<FontId>(i)), dpi);
    }
    for (const ControlRow& entry : kControls) {
        const RECT place = pixelRect(entry.twips, dpi);
        const HWND child = control(entry.id);
        SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts[static_cast<std::size_t>(entry.font)].get()),
                     TRUE);
    }
    // The controls hold the new fonts now, so the old ones can go.
    fonts_ = std::move(fonts);

    // The class icons fit the system DPI; the caption and the taskbar want the monitor's.
    // LR_SHARED would hand back the first size loaded, so these are loaded and owned here.
    const std::array<std::pair<int, int>, kIconCount> sizes = {
        {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}};
    std::array<IconHandle, kIconCount> icons;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int size = systemMetricForDpi(sizes[i].second, dpi);
        icons[i] = IconHandle(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0)));
        SendMessageW(form_, WM_SETICON, static_cast<WPARAM>(sizes[i].first),
                     reinterpret_cast<LPARAM>(icons[i].get()));
    }
    icons_ = std::move(icons);
}

}  // namespace fenrallo
