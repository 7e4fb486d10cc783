// Restricts where DLLs are loaded from. SetDefaultDllDirectories and the LOAD_LIBRARY_SEARCH_*
// flags came to Windows 7 only with KB2533623, so they are looked up at run time: a static
// import would stop the program from starting where the update is missing. Its presence is
// also the documented sign that the flags are understood.
#include "platform/win32/DllHardening.h"

#include <string>

namespace fenrallo::win32 {

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

SetDefaultDllDirectoriesFunction findSetDefaultDllDirectories()
{
    return procedure<SetDefaultDllDirectoriesFunction>(GetModuleHandleW(L"kernel32.dll"),
                                                       "SetDefaultDllDirectories");
}

std::wstring systemDirectory()
{
    const UINT needed = GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring directory(needed, L'\0');
    const UINT length = GetSystemDirectoryW(directory.data(), needed);
    if (length == 0 || length >= needed) {
        return {};
    }
    directory.resize(length);
    return directory;
}

}  // namespace

void restrictDllSearchToSystem()
{
    if (const auto setDefault = findSetDefaultDllDirectories()) {
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Where the call above is missing this at least takes the current directory out of the
    // search; where it is present it changes nothing.
    SetDllDirectoryW(L"");
}

HMODULE loadSystemLibrary(const wchar_t* name)
{
    if (findSetDefaultDllDirectories() != nullptr) {
        return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    const std::wstring directory = systemDirectory();
    if (directory.empty()) {
        return nullptr;
    }
    // The altered search path makes the DLL's own dependencies come from the system directory
    // too, not from the program's folder.
    return LoadLibraryExW((directory + L'\\' + name).c_str(), nullptr,
                          LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace fenrallo::win32
