// A thread's queue holds at most 10,000 posted messages: progress is posted at most four times a
// second and only once the previous one has been handled, and the end of a batch once.
#include "platform/win32/Win32BatchRunner.h"

namespace fenrallo::win32 {

namespace {

enum : WPARAM { kProgress, kEnded };

constexpr ULONGLONG kProgressInterval = 250;

}  // namespace

void Win32BatchRunner::run(Work work, Finished finished)
{
    if (busy()) {
        return;
    }
    work_ = std::move(work);
    finished_ = std::move(finished);
    stop_ = false;
    tried_ = 0;
    moved_ = 0;
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
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
    // An exception leaving a thread ends the process; the batch then ends with what it moved.
    try {
        runner.moved_ = runner.work_(runner);
    } catch (...) {
    }
#else
    runner.moved_ = runner.work_(runner);
#endif
    PostMessageW(runner.window_, runner.message_, kEnded, 0);
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
        PostMessageW(window_, message_, kProgress, 0);
    }
}

void Win32BatchRunner::onMessage(WPARAM kind)
{
    if (!busy()) {
        return;
    }
    if (kind == kProgress) {
        progressPosted_ = false;
        observer_.batchAdvanced(tried_, total_);
        return;
    }
    join();
    const Finished finished = std::move(finished_);
    observer_.batchEnded();
    finished(moved_);
}

void Win32BatchRunner::stopAndWait()
{
    if (!busy()) {
        return;
    }
    stop_ = true;
    join();
    finished_ = nullptr;
}

void Win32BatchRunner::join()
{
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    work_ = nullptr;
}

}  // namespace fenrallo::win32
