// Stands in for a system DLL (uxtheme.dll, dwmapi.dll) planted in the program's folder. Loading
// it leaves "<its own path>.loaded" beside it, so a test can tell it was loaded.
#include <windows.h>

#include <string>

// The C runtime start-up finds DllMain by its unmangled name.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        // No Windows path is longer than this.
        std::wstring path(32768, L'\0');
        path.resize(GetModuleFileNameW(instance, path.data(), 32768));
        // On failure this closes INVALID_HANDLE_VALUE, the process pseudo-handle: a no-op.
        CloseHandle(CreateFileW((path + L".loaded").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return TRUE;
}
