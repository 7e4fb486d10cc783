// The DPI of a window and the DPI-aware frame arithmetic. The per-monitor functions exist only
// from Windows 8.1 and 10 on, so they are looked up at run time and Windows 7 gets the system DPI.
#pragma once

#include <windows.h>

namespace fenrallo {

// The DPI the window is drawn at: its monitor's where the system tracks that, else the system's.
UINT dpiOfWindow(HWND window);

// GetSystemMetrics for a window drawn at `dpi`.
int systemMetricForDpi(int index, UINT dpi);

// The outer rectangle of a window with the given styles whose client area is `client`.
RECT frameForClient(const RECT& client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace fenrallo
