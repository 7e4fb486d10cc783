// Stands in for an explorer.exe planted in the program's folder. It only leaves a marker beside
// itself, holding the command line it got, so a test can tell it was run.
#include <windows.h>

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace {

using OwnedFile = fenrallo::win32::UniqueHandle<HANDLE, CloseHandle>;

// CreateFileW fails with INVALID_HANDLE_VALUE, which cannot be a template argument.
HANDLE createMarker(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

}  // namespace

int main()
{
    std::wstring path(64, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.rfind(L'\\') + 1);
    path += L"planted-explorer-ran.txt";
    const OwnedFile marker(createMarker(path));
    if (marker) {
        const wchar_t* line = GetCommandLineW();
        DWORD written = 0;
        WriteFile(marker.get(), line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)),
                  &written, nullptr);
    }
    return 0;
}
