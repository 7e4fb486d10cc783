// Form1 while a batch moves files: the move buttons and both lists are disabled, so nothing can
// start a second batch or change what the first one moves, and the keyboard stays with the
// window, and a logoff is held up with a reason; afterwards everything is enabled again and the
// focus goes back where it was.
#pragma once

#include <windows.h>

#include "app/FormLayout.h"

namespace fenrallo {

class BatchLock {
public:
    void lock(HWND form, const FormLayout& layout);
    // The control the focus went back to, or null.
    HWND unlock(HWND form, const FormLayout& layout);

private:
    HWND focusBefore_ = nullptr;
};

}  // namespace fenrallo
