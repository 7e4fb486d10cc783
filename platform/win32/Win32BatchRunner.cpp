// A thread's queue holds at most 10,000 posted messages: progress is posted at most four times a
// second and only once the previous one has been handled. The end of a batch is posted once, and
// again until it is queued: lost, it would leave the window's controls disabled for good.
#include "platform/win32/Win32BatchRunner.h"

namespace fenrallo::win32 {

namespace {

constexpr ULONGLONG kProgressInterval = 250;
constexpr DWORD kRepostDelay = 50;

}  // namespace

void Win32BatchRunner::run(Work work, Finished finished, Advanced advanced)
{
    if (busy()) {
        return;
    }
    work_ = std::move(work);
    finished_ = std::move(finished);
    advanced_ = std::move(advanced);
    stop_ = false;
    tried_ = 0;
    moved_ = 0;
    workDone_ = false;
    progressPosted_ = false;
    thread_.reset(CreateThread(nullptr, 0, workerMain, this, 0, nullptr));
    if (!thread_) {
        // No thread: the moves run here, as they would have before there were workers.
        finished_(work_(*this));
        return;
    }
    observer_.batchStarted();
}

DWORD WINAPI Win32BatchRunner::workerMain(void* self)
{
    auto& runner = *static_cast<Win32BatchRunner*>(self);
    runner.moved_ = runner.work_(runner);
    runner.workDone_ = true;
    while (!PostMessageW(runner.window_, kEndedMessage, 0, 0) && IsWindow(runner.window_)) {
        Sleep(kRepostDelay);
    }
    return 0;
}

void Win32BatchRunner::advance(int tried, int moved, int total)
{
    tried_ = tried;
    moved_ = moved;
    total_ = total;
    const ULONGLONG now = GetTickCount64();
    if (now - lastProgressPost_ >= kProgressInterval && !progressPosted_.exchange(true)) {
        lastProgressPost_ = now;
        // Refused (a full queue), it is never handled: the next progress tries again.
        if (!PostMessageW(window_, kProgressMessage, 0, 0)) {
            progressPosted_ = false;
        }
    }
}

void Win32BatchRunner::onMessage(UINT message)
{
    if (!busy()) {
        return;
    }
    if (message == kProgressMessage) {
        progressPosted_ = false;
        const int tried = tried_;
        observer_.batchAdvanced(tried, total_);
        if (advanced_) {
            advanced_(tried);
        }
        return;
    }
    if (!workDone_) {
        return;
    }
    join();
    const Finished finished = std::move(finished_);
    advanced_ = nullptr;
    observer_.batchEnded();
    finished(moved_);
}

void Win32BatchRunner::stopAndWaitForWorker()
{
    if (busy()) {
        stop_ = true;
        WaitForSingleObject(thread_.get(), kLongestWorkerWait);
    }
}

void Win32BatchRunner::stopAndWait()
{
    if (!busy()) {
        return;
    }
    stop_ = true;
    join();
    finished_ = nullptr;
    advanced_ = nullptr;
}

void Win32BatchRunner::join()
{
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    work_ = nullptr;
}

}  // namespace fenrallo::win32
