// Helpers for tests that create the real main window in their own process: a fixture that
// creates and shows Form1, and a watcher that reads and answers the modal message box a click
// opens.
#pragma once

#include <windows.h>

#include <atomic>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "app/MainWindow.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {

// The DPI the prefix was set to by tools/with-wine (FENRALLO_DPI), 96 when it was not.
inline UINT expectedDpi()
{
    const std::wstring value = environmentVariable(L"FENRALLO_DPI");
    return value.empty() ? 96 : static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 10));
}

// Handles every message waiting for this thread, so posted and deferred work has happened.
inline void pumpMessages()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

inline TextList listEntries(HWND list)
{
    win32::Win32ListBox box(list);
    TextList entries;
    for (int i = 0; i < box.count(); ++i) {
        entries.push_back(box.textAt(i));
    }
    return entries;
}

inline std::wstring className(HWND window)
{
    std::wstring name(256, L'\0');
    name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), 256)));
    return name;
}

// What a message box showed.
struct SeenBox {
    HWND box = nullptr;
    Text title;
    Text message;
    HWND owner = nullptr;
    HICON icon = nullptr;
    int buttons = 0;
    bool closedByOk = false;
};

// Watches from a second thread for a message box of this thread, reads it and presses its OK
// button. A box that does not close is cancelled, and if none appears the modal loop is ended
// with WM_QUIT, so a failure cannot hang the run.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : ui_(GetCurrentThreadId()), thread_([this] { watch(); }) {}
    ~MessageBoxAnswerer() { seen(); }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const SeenBox& seen()
    {
        if (thread_.joinable()) {
            thread_.join();
        }
        return seen_;
    }

private:
    static BOOL CALLBACK keepDialog(HWND window, LPARAM found)
    {
        if (className(window) == L"#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    void watch()
    {
        HWND& box = seen_.box;
        for (int i = 0; i < 500 && box == nullptr; ++i) {
            Sleep(20);
            EnumThreadWindows(ui_, keepDialog, reinterpret_cast<LPARAM>(&box));
        }
        if (box == nullptr) {
            PostThreadMessageW(ui_, WM_QUIT, 0, 0);
            return;
        }
        seen_.title = win32::windowText(box);
        seen_.owner = GetWindow(box, GW_OWNER);
        HWND ok = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            const auto style = GetWindowLongW(child, GWL_STYLE);
            if (className(child) == L"Button") {
                ++seen_.buttons;
                ok = GetDlgCtrlID(child) == IDOK ? child : ok;
            } else if (className(child) == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
                seen_.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
            } else if (GetDlgCtrlID(child) == 0xFFFF) {
                // 0xFFFF is the message text's static control in a message box.
                seen_.message = win32::windowText(child);
            }
        }
        if (ok != nullptr) {
            SendMessageW(ok, BM_CLICK, 0, 0);
        }
        for (int i = 0; i < 250 && IsWindow(box); ++i) {
            Sleep(20);
        }
        seen_.closedByOk = ok != nullptr && !IsWindow(box);
        // Ends a box that OK did not close; a box already gone ignores it.
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    }

    DWORD ui_;
    SeenBox seen_;
    std::thread thread_;
};

// Creates Form1 on the real platform, or on the one a test passes, and shows it.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { openWindow(std::make_unique<MainWindow>()); }

    void openWindow(std::unique_ptr<MainWindow> window)
    {
        window_ = std::move(window);
        ASSERT_TRUE(window_->create(GetModuleHandleW(nullptr)));
        window_->show(SW_SHOWNORMAL);
        SetForegroundWindow(window_->handle());
        pumpMessages();
    }

    void TearDown() override
    {
        window_.reset();
        // Closing Form1 ends the message loop; that quit message must not end the next test's
        // message box early.
        MSG quit{};
        while (PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND control(ControlId id) const { return window_->control(id); }
    HWND form() const { return window_->handle(); }
    Text textOf(ControlId id) const { return win32::windowText(control(id)); }

    void drop(ControlId list, const TextList& paths)
    {
        SendMessageW(control(list), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
    }

    void click(ControlId button) { SendMessageW(control(button), BM_CLICK, 0, 0); }

    std::unique_ptr<MainWindow> window_;
};

}  // namespace fenrallo::test
