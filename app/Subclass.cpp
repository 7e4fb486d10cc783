// The control's user data, which the system classes leave to the application, points at its
// Subclass: reading it costs no trip to the window server, which a window property would under
// Wine on every one of the thousands of messages a large drop sends.
#include "app/Subclass.h"

namespace fenrallo {

void Subclass::attach(HWND control, ControlListener& listener)
{
    listener_ = &listener;
    original_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
}

LRESULT CALLBACK Subclass::procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* self = reinterpret_cast<const Subclass*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    if (const std::optional<LRESULT> handled =
            self->listener_->beforeControl(control, message, wParam, lParam)) {
        return *handled;
    }
    const LRESULT result = CallWindowProcW(self->original_, control, message, wParam, lParam);
    self->listener_->afterControl(control, message);
    return result;
}

}  // namespace fenrallo
