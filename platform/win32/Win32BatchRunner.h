// Runs a batch on a plain Win32 thread of its own, so the window paints and answers while files
// move. The worker only ever posts to the window (a send could wait on a window that is waiting
// for the worker); the window hands each posted message back to onMessage().
#pragma once

#include <windows.h>

#include <atomic>

#include "platform/BatchRunner.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

class Win32BatchRunner final : public BatchRunner, private BatchProgress {
public:
    // Posted by the worker to the window: how far the batch is, and that it has ended.
    static constexpr UINT kProgressMessage = WM_APP + 1;
    static constexpr UINT kEndedMessage = WM_APP + 2;

    // What the window does around a batch, on the user-interface thread.
    class Observer {
    public:
        virtual ~Observer() = default;
        virtual void batchStarted() = 0;
        virtual void batchAdvanced(int tried, int total) = 0;
        virtual void batchEnded() = 0;
    };

    Win32BatchRunner(HWND window, Observer& observer) : window_(window), observer_(observer) {}
    ~Win32BatchRunner() override { stopAndWait(); }
    Win32BatchRunner(const Win32BatchRunner&) = delete;
    Win32BatchRunner& operator=(const Win32BatchRunner&) = delete;

    bool busy() const override { return static_cast<bool>(thread_); }
    void run(Work work, Finished finished, Advanced advanced) override;

    // One of the two messages above, as the window received it.
    void onMessage(UINT message);
    // Ends a running batch after the entry in progress (a copy to another volume is cancelled
    // and removed). The batch then ends as any other, with its end message.
    void requestStop() { stop_ = true; }
    // Stops a running batch and waits until the worker has stopped touching files, or for
    // kLongestWorkerWait at most: Windows ends a program that has not answered WM_ENDSESSION
    // within about 5 s anyway, and a copy ended midway leaves no partial file in an entry's
    // place. Its end message may still be on its way.
    void stopAndWaitForWorker();
    static constexpr DWORD kLongestWorkerWait = 3000;
    // Stops a running batch and waits for its worker. Neither the observer nor the batch's
    // Finished hears of it: the window is going.
    void stopAndWait();

private:
    static DWORD WINAPI workerMain(void* self);
    // Waits for the worker, which has ended or is about to, and lets go of it and its work.
    void join();

    const StopFlag& stop() const override { return stop_; }
    void advance(int tried, int moved, int total) override;

    HWND window_;
    Observer& observer_;
    UniqueHandle<HANDLE, CloseHandle> thread_;
    Work work_;
    Finished finished_;
    Advanced advanced_;
    StopFlag stop_{false};
    std::atomic<int> tried_{0};
    std::atomic<int> moved_{0};
    std::atomic<int> total_{0};
    // Set by the worker once the work has returned: only then does an end message end a batch,
    // whoever else posts one.
    std::atomic<bool> workDone_{false};
    // Set while a progress message is on its way, so at most one is ever queued.
    std::atomic<bool> progressPosted_{false};
    ULONGLONG lastProgressPost_ = 0;  // the worker's alone
};

}  // namespace fenrallo::win32
