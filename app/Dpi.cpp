// Functions newer than Windows 7 SP1 are found with GetProcAddress in user32, which every GUI
// process has loaded already, and in shcore, loaded from the system directory only: nothing is
// loaded by a bare name, so there is nothing to plant.
#include "app/Dpi.h"

#include "platform/win32/DllHardening.h"

namespace fenrallo {

namespace {

template <typename Function>
Function user32Function(const char* name)
{
    return win32::procedure<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// Windows 8.1 and the first Windows 10 releases know each monitor's DPI only here.
UINT monitorDpi(HWND window)
{
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpiForMonitor = win32::procedure<GetDpiForMonitorFunction>(
        win32::loadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    const int effectiveDpi = 0;
    if (getDpiForMonitor == nullptr || window == nullptr ||
        FAILED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), effectiveDpi,
                                &x, &y))) {
        return 0;
    }
    return x;
}

UINT systemDpi()
{
    const HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return USER_DEFAULT_SCREEN_DPI;
    }
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT dpiOfWindow(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow != nullptr && window != nullptr ? getDpiForWindow(window)
                                                                     : monitorDpi(window);
    return dpi != 0 ? dpi : systemDpi();
}

int systemMetricForDpi(int index, UINT dpi)
{
    using MetricFunction = int(WINAPI*)(int, UINT);
    static const auto metricForDpi = user32Function<MetricFunction>("GetSystemMetricsForDpi");
    if (metricForDpi != nullptr) {
        return metricForDpi(index, dpi);
    }
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

RECT frameForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi)
{
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    RECT frame = client;
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, style, FALSE, exStyle, dpi)) {
        frame = client;
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return frame;
}

}  // namespace fenrallo
