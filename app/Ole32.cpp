// The one handle to ole32 that the taskbar's progress and the Send To item share.
#include "app/Ole32.h"

namespace fenrallo {

HMODULE ole32()
{
    static const HMODULE module = win32::loadSystemLibrary(L"ole32.dll");
    return module;
}

}  // namespace fenrallo
