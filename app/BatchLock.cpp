#include "app/BatchLock.h"

namespace fenrallo {

namespace {

constexpr std::array kLocked = {ControlId::Command4, ControlId::Command5, ControlId::List1,
                                ControlId::List2};

}  // namespace

bool BatchLock::mayClose(win32::Win32BatchRunner& runner)
{
    if (!runner.busy()) {
        return true;
    }
    closing_ = true;
    runner.requestStop();
    EnableWindow(form_, FALSE);
    return false;
}

void BatchLock::batchStarted()
{
    // Logging off now would end the moves midway: Windows names the reason when it asks.
    ShutdownBlockReasonCreate(form_, L"正在移动文件");
    started_ = GetTickCount64();
    focusBefore_ = GetFocus();
    for (const ControlId id : kLocked) {
        EnableWindow(layout_.control(id), FALSE);
    }
    // A disabled control takes no keys; the keyboard stays with the window.
    if (focusBefore_ != nullptr && IsChild(form_, focusBefore_) && !IsWindowEnabled(focusBefore_)) {
        SetFocus(layout_.control(ControlId::Command6));
    }
}

void BatchLock::batchAdvanced(int tried, int total)
{
    // A batch that ends sooner shows no progress, which would only flash on the taskbar, and
    // costs no taskbar object: making the first one takes Wine half a second.
    if (GetTickCount64() - started_ >= kQuietStart) {
        taskbar_.show(tried, total);
    }
}

void BatchLock::batchEnded()
{
    taskbar_.clear();
    ShutdownBlockReasonDestroy(form_);
    for (const ControlId id : kLocked) {
        EnableWindow(layout_.control(id), TRUE);
    }
    if (focusBefore_ != nullptr && IsChild(form_, focusBefore_)) {
        focus_.remember(focusBefore_);
        // Only within the window: an inactive window gets it back when it is activated.
        if (IsChild(form_, GetFocus())) {
            SetFocus(focusBefore_);
        }
    }
    // Refused (a full queue), the close would leave the window disabled for good.
    if (closing_ && !PostMessageW(form_, WM_CLOSE, 0, 0)) {
        DestroyWindow(form_);
    }
}

}  // namespace fenrallo
