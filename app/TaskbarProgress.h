// A batch's progress on the window's taskbar button. ITaskbarList3 comes through COM, whose
// ole32 is loaded from the system directory when a batch first needs it: where COM or the
// taskbar is missing, nothing is shown and nothing fails.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <utility>

#include "platform/win32/UniqueHandle.h"

namespace fenrallo {

class TaskbarProgress {
public:
    explicit TaskbarProgress(HWND window) : window_(window) {}
    ~TaskbarProgress();
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;

    void show(int done, int total);
    void clear();
    // What the button was last asked to show: done and total, both 0 for no progress. Whether a
    // taskbar took it in cannot be read back.
    std::pair<int, int> shown() const { return shown_; }
    // The message the shell sends when it has made the window's taskbar button anew (after the
    // file manager restarted): the old taskbar object shows nothing any more.
    static UINT buttonCreatedMessage();
    void buttonCreated();

private:
    static void release(ITaskbarList3* list) { list->Release(); }
    ITaskbarList3* list();

    HWND window_;
    win32::UniqueHandle<ITaskbarList3*, release> list_;
    std::pair<int, int> shown_{0, 0};
    bool tried_ = false;
    bool comStarted_ = false;
};

}  // namespace fenrallo
