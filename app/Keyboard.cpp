#include "app/Keyboard.h"

#include <string_view>

namespace fenrallo {

namespace {

// Ctrl+V, and Shift+Insert as everywhere else in Windows.
bool isPasteKey(WPARAM key)
{
    return (key == 'V' && GetKeyState(VK_CONTROL) < 0) ||
           (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0);
}

// Ctrl+Z alone, pressed once: not AltGr+Z (Ctrl and Alt together), which types a letter on some
// keyboards, nor Ctrl+Shift+Z, Redo in many programs, nor the repeats of a held key.
bool isUndoKey(WPARAM key, LPARAM flags)
{
    constexpr LPARAM kRepeat = 0x40000000;  // the key was down before this message
    return key == 'Z' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 &&
           GetKeyState(VK_SHIFT) >= 0 && (flags & kRepeat) == 0;
}

}  // namespace

ListKey listKey(ControlId control, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && isUndoKey(wParam, lParam)) {
        return ListKey::Undo;
    }
    if (control != ControlId::List1 && control != ControlId::List2) {
        return ListKey::None;
    }
    if (message == WM_PASTE || (message == WM_KEYDOWN && isPasteKey(wParam))) {
        return ListKey::Paste;
    }
    if (message == WM_CHAR && (wParam == 0x16 || wParam == 0x1A)) {
        return ListKey::Swallow;  // no entry to search for by its first letter
    }
    if (control == ControlId::List1 && message == WM_KEYDOWN && wParam == VK_DELETE) {
        return ListKey::Remove;
    }
    return ListKey::None;
}

HWND focusedButton(HWND form)
{
    const HWND focus = GetFocus();
    ControlId focused{};
    if (focus != nullptr && GetParent(focus) == form &&
        controlFromCommandId(GetDlgCtrlID(focus), focused) &&
        controlRow(focused).windowClass == std::wstring_view(L"BUTTON")) {
        return focus;
    }
    return nullptr;
}

void FocusMemory::deactivated(HWND form)
{
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(form, focus)) {
        last_ = focus;
    }
}

void FocusMemory::restore(HWND first, HWND fallback) const
{
    HWND target = last_ != nullptr && IsWindow(last_) ? last_ : first;
    if (target != nullptr && !IsWindowEnabled(target)) {
        target = fallback;
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

}  // namespace fenrallo
