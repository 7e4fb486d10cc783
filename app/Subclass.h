// Hearing a control's messages before its class does: the list boxes take drops and keys, and
// the log refuses focus and clicks. The class's own procedure still handles everything the
// listener leaves to it.
#pragma once

#include <windows.h>

#include <optional>

namespace fenrallo {

class ControlListener {
public:
    virtual ~ControlListener() = default;
    // Nothing when the class's own procedure should handle the message.
    virtual std::optional<LRESULT> beforeControl(HWND control, UINT message, WPARAM wParam,
                                                 LPARAM lParam) = 0;
    // After the class's own procedure handled it.
    virtual void afterControl(HWND control, UINT message) = 0;
};

// Puts a listener in front of one control's class procedure. It must outlive the control.
class Subclass {
public:
    void attach(HWND control, ControlListener& listener);

private:
    static LRESULT CALLBACK procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC original_ = nullptr;
    ControlListener* listener_ = nullptr;
};

}  // namespace fenrallo
