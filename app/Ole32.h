// ole32, loaded from the system directory the first time something needs COM and never
// imported, so start-up never pays for it.
#pragma once

#include <windows.h>

#include "platform/win32/DllHardening.h"

namespace fenrallo {

// Loaded once and never freed: COM keeps state in ole32 for as long as the process uses it.
HMODULE ole32();

template <typename Function>
Function ole32Function(const char* name)
{
    return win32::procedure<Function>(ole32(), name);
}

}  // namespace fenrallo
