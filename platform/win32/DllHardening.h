// Keeps DLLs planted beside the program or in the current directory from being loaded: users
// move arbitrary files into the program's own folder, and Windows searches that folder first.
#pragma once

#include <windows.h>

namespace fenrallo::win32 {

// Limits every later load by bare name to the system directory. Call it first in wWinMain,
// before anything can load a DLL. On Windows 7 without KB2533623 only the current directory
// can be dropped from the search.
void restrictDllSearchToSystem();

// Loads a system DLL by bare name (e.g. L"uxtheme.dll") from the system directory only,
// whether or not restrictDllSearchToSystem ran and on every supported Windows. Null on failure;
// the caller frees it with FreeLibrary.
HMODULE loadSystemLibrary(const wchar_t* name);

// `name` in `module` as a `Function`, for functions newer than Windows 7 SP1 that must not be
// imported statically; null when the module or the function is missing.
template <typename Function>
Function procedure(HMODULE module, const char* name)
{
    if (module == nullptr) {
        return nullptr;
    }
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace fenrallo::win32
