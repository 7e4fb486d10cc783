// Stands in for a system DLL (uxtheme.dll, dwmapi.dll) planted in the program's folder. Loading
// it leaves "<its own path>.loaded" beside it, so a test can tell it was loaded.
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

// The C runtime start-up finds DllMain by its unmangled name.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    std::wstring path(64, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    // Only its existence matters: the handle closes again at once.
    const OwnedFile marker(createMarker(path + L".loaded"));
    return TRUE;
}
