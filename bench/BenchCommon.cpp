// Shared benchmark helpers; see BenchCommon.h.
#include "BenchCommon.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace fenrallo::bench {

double timeOnce(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

HWND makeHostWindow()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"FenralloBenchHost";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&windowClass);
    HWND host = CreateWindowExW(0, L"FenralloBenchHost", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 900,
                                600, nullptr, nullptr, instance, nullptr);
    ShowWindow(host, SW_SHOWNORMAL);
    pumpMessages();
    return host;
}

HWND makeListBox(HWND host)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                           40, 32, 601, 208, host, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND makeEdit(HWND host)
{
    return CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                           WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 40, 336,
                           601, 49, host, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HANDLE openNewFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

void printRow(const std::string& what, double productSeconds, double bareSeconds)
{
    std::printf("%-44s %10.3f s %10.3f s %8.2f\n", what.c_str(), productSeconds, bareSeconds,
                bareSeconds > 0 ? productSeconds / bareSeconds : 0.0);
    std::fflush(stdout);
}

HDROP makeDrop(const TextList& texts)
{
    std::size_t units = 1;
    for (const Text& text : texts) {
        units += text.size() + 1;
    }
    const HGLOBAL memory =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
    for (const Text& text : texts) {
        std::memcpy(out, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        out += text.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::wstring temporaryFolder(const std::wstring& name)
{
    const DWORD length = GetTempPathW(0, nullptr);
    std::wstring path(length, L'\0');
    path.resize(GetTempPathW(length, path.data()));
    path += L"fenrallo-bench-" + name + L"-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

}  // namespace fenrallo::bench
