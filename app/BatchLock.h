// Form1 while a batch moves files: the move buttons and both lists are disabled, so nothing can
// start a second batch or change what the first one moves, the keyboard stays with the window,
// the taskbar button shows the progress of a batch that lasts a while and a logoff is held up
// with a reason. Closing the window stops the batch first. Afterwards everything is enabled
// again and the focus goes back where it was.
#pragma once

#include <windows.h>

#include "app/FormLayout.h"
#include "app/Keyboard.h"
#include "app/TaskbarProgress.h"
#include "platform/win32/Win32BatchRunner.h"

namespace fenrallo {

class BatchLock final : public win32::Win32BatchRunner::Observer {
public:
    BatchLock(HWND form, const FormLayout& layout, FocusMemory& focus)
        : form_(form), layout_(layout), focus_(focus), taskbar_(form)
    {
    }

    // On WM_CLOSE: true when the window may close now. While `runner` is busy it is asked to
    // stop, and the window stays, disabled, until the batch has ended: no invisible process goes
    // on moving files.
    bool mayClose(win32::Win32BatchRunner& runner);
    TaskbarProgress& taskbar() { return taskbar_; }

    void batchStarted() override;
    void batchAdvanced(int tried, int total) override;
    void batchEnded() override;

private:
    HWND form_;
    const FormLayout& layout_;
    FocusMemory& focus_;
    TaskbarProgress taskbar_;
    static constexpr ULONGLONG kQuietStart = 1000;

    HWND focusBefore_ = nullptr;
    ULONGLONG started_ = 0;
    bool closing_ = false;
};

}  // namespace fenrallo
