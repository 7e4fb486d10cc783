// Small pieces the benchmarks share: a monotonic clock, medians, a window to host controls, and
// printing figures as UTF-8.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::bench {

// Seconds taken by one call of `work`.
double timeOnce(const std::function<void()>& work);
double median(std::vector<double> values);

// A shown top-level window to put controls in, so redrawing costs what it costs for users.
HWND makeHostWindow();
HWND makeListBox(HWND host);
HWND makeEdit(HWND host);
// Handles every pending message, so painting is part of what is timed.
void pumpMessages();

using Handle = win32::UniqueHandle<HANDLE, CloseHandle>;
// A new file opened for writing; the null handle when it cannot be made.
HANDLE openNewFile(const std::wstring& path);

// A drop as the shell hands it over: DROPFILES, then the wide paths, each ended by a NUL, then
// one more NUL. The receiver frees it with DragFinish.
HDROP makeDrop(const TextList& texts);

void printRow(const std::string& what, double productSeconds, double bareSeconds);
std::wstring temporaryFolder(const std::wstring& name);

}  // namespace fenrallo::bench
