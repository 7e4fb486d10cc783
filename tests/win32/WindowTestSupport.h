// Helpers for tests that create the real main window in their own process: a fixture that
// creates and shows Form1, and a watcher that answers the modal message box a click opens.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "TestDrop.h"
#include "app/MainWindow.h"
#include "platform/Text.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::test {

// The DPI the prefix was set to by tools/with-wine (FENRALLO_DPI), 96 when it was not.
inline UINT expectedDpi()
{
    const DWORD size = GetEnvironmentVariableW(L"FENRALLO_DPI", nullptr, 0);
    if (size <= 1) {
        return 96;
    }
    Text value(size, L'\0');
    value.resize(GetEnvironmentVariableW(L"FENRALLO_DPI", value.data(), size));
    return static_cast<UINT>(std::wcstoul(value.c_str(), nullptr, 10));
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

// A window's rectangle in its parent's client coordinates.
inline RECT rectInParent(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
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

// Watches from a second thread for a top-level dialog with the given title, records the text of
// its message and presses its OK button.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(Text title) : title_(std::move(title))
    {
        thread_ = std::thread([this] { watch(); });
    }
    ~MessageBoxAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Valid once the thread has been joined or `answered()` is true.
    const Text& message() const { return message_; }
    bool answered() const { return answered_; }

private:
    void watch()
    {
        for (int i = 0; i < 1000 && !stop_; ++i) {
            const HWND box = FindWindowW(L"#32770", title_.c_str());
            if (box != nullptr) {
                // 0xFFFF is the message text's static control in a message box.
                message_ = win32::windowText(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                answered_ = true;
                return;
            }
            Sleep(10);
        }
    }

    Text title_;
    Text message_;
    std::atomic<bool> answered_{false};
    std::atomic<bool> stop_{false};
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

    void drop(ControlId list, const TextList& paths)
    {
        SendMessageW(control(list), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
    }

    void click(ControlId button) { SendMessageW(control(button), BM_CLICK, 0, 0); }

    std::unique_ptr<MainWindow> window_;
};

}  // namespace fenrallo::test
