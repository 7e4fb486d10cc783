// ole32, loaded from the system directory the first time something needs COM and never
// imported, so start-up never pays for it.
#pragma once

#include <windows.h>

#include "platform/win32/DllHardening.h"

namespace fenrallo {

template <typename Function>
Function ole32Function(const char* name)
{
    // Never freed: COM keeps state in ole32 for as long as the process uses it.
    static const HMODULE ole32 = win32::loadSystemLibrary(L"ole32.dll");
    return win32::procedure<Function>(ole32, name);
}

}  // namespace fenrallo
