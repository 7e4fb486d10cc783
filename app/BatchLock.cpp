#include "app/BatchLock.h"

namespace fenrallo {

namespace {

constexpr std::array kLocked = {ControlId::Command4, ControlId::Command5, ControlId::List1,
                                ControlId::List2};

}  // namespace

void BatchLock::lock(HWND form, const FormLayout& layout)
{
    // Logging off now would end the moves midway: Windows names the reason when it asks.
    ShutdownBlockReasonCreate(form, L"正在移动文件");
    focusBefore_ = GetFocus();
    for (const ControlId id : kLocked) {
        EnableWindow(layout.control(id), FALSE);
    }
    // A disabled control takes no keys; the keyboard stays with the window.
    if (focusBefore_ != nullptr && IsChild(form, focusBefore_) && !IsWindowEnabled(focusBefore_)) {
        SetFocus(layout.control(ControlId::Command6));
    }
}

HWND BatchLock::unlock(HWND form, const FormLayout& layout)
{
    ShutdownBlockReasonDestroy(form);
    for (const ControlId id : kLocked) {
        EnableWindow(layout.control(id), TRUE);
    }
    if (focusBefore_ == nullptr || !IsChild(form, focusBefore_)) {
        return nullptr;
    }
    // Only within the window: an inactive window gets it back when it is activated.
    if (IsChild(form, GetFocus())) {
        SetFocus(focusBefore_);
    }
    return focusBefore_;
}

}  // namespace fenrallo
