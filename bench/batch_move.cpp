// A batch move of N small files (10,000 unless told otherwise) into a target folder: first the
// synchronous loop the program used to run on its window's thread, then the same batch through
// the real window, whose worker moves the files while the window keeps answering. Meanwhile a
// second thread times a round trip to the window (WM_NULL) every 20 ms; the slowest one says
// how long the window could not answer. A bare MoveFileW loop over as many files is the floor.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "BenchCommon.h"
#include "app/MainWindow.h"
#include "platform/win32/Win32PlatformServices.h"
#include "platform/win32/Win32Widgets.h"

using namespace fenrallo;

namespace {

TextList makeFiles(const std::wstring& folder, int count)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    TextList files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + L"\\文件-" + std::to_wstring(i) + L".txt");
        bench::Handle file(bench::openNewFile(files.back()));
        DWORD written = 0;
        WriteFile(file.get(), "small file\n", 11, &written, nullptr);
    }
    return files;
}

// Times the slowest answer of `window` to WM_NULL, asked every 20 ms until stopped.
class RoundTrips {
public:
    explicit RoundTrips(HWND window)
        : thread_([this, window] {
              while (!stop_) {
                  const double seconds = bench::timeOnce([window] {
                      DWORD_PTR result = 0;
                      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
                  });
                  slowest_ = std::max(slowest_.load(), seconds);
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
              finished_ = true;
          })
    {
    }
    ~RoundTrips() { slowest(); }
    RoundTrips(const RoundTrips&) = delete;
    RoundTrips& operator=(const RoundTrips&) = delete;

    // Call on the window's thread: it serves the last round trip, which may be under way.
    double slowest()
    {
        stop_ = true;
        while (!finished_) {
            bench::pumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        return slowest_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<double> slowest_{0.0};
    std::thread thread_;
};

int movedBy(const TextList& files, const std::wstring& target,
            const std::function<bool(const Text&, const Text&)>& move)
{
    int moved = 0;
    for (const Text& file : files) {
        moved += move(file, target + L"\\" + file.substr(file.rfind(L'\\') + 1)) ? 1 : 0;
    }
    return moved;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const std::wstring work = bench::temporaryFolder(L"move");
    std::printf("batch move of %d small files into a target folder\n", count);
    std::printf("%-44s %12s %14s\n", "", "total", "slowest answer");

    const TextList bareFiles = makeFiles(work + L"\\bare", count);
    CreateDirectoryW((work + L"\\bare-out").c_str(), nullptr);
    const double bare = bench::timeOnce([&] {
        movedBy(bareFiles, work + L"\\bare-out", [](const Text& from, const Text& to) {
            return MoveFileW(from.c_str(), to.c_str()) != FALSE;
        });
    });

    // The old way: the same moves on the thread of a shown window, which cannot answer meanwhile.
    const TextList syncFiles = makeFiles(work + L"\\sync", count);
    CreateDirectoryW((work + L"\\sync-out").c_str(), nullptr);
    const HWND host = bench::makeHostWindow();
    win32::Win32PlatformServices platform(host);
    const StopFlag never{false};
    RoundTrips syncTrips(host);
    const double sync = bench::timeOnce([&] {
        movedBy(syncFiles, work + L"\\sync-out", [&](const Text& from, const Text& to) {
            return platform.MoveWithoutReplace(from, to, never);
        });
        bench::pumpMessages();
    });
    const double syncSlowest = syncTrips.slowest();
    DestroyWindow(host);

    // Through Form1: drop the files and the target, click 移至指定目录, serve the window until the
    // run log reports the batch.
    const TextList files = makeFiles(work + L"\\window", count);
    CreateDirectoryW((work + L"\\window-out").c_str(), nullptr);
    MainWindow window;
    window.create(GetModuleHandleW(nullptr));
    window.show(SW_SHOWNORMAL);
    SendMessageW(window.control(ControlId::List1), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(bench::makeDrop(files)), 0);
    SendMessageW(window.control(ControlId::List2), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(bench::makeDrop({work + L"\\window-out"})), 0);
    bench::pumpMessages();
    const Text done = L"本次共移动" + std::to_wstring(count) + L"个文件";
    const auto finished = [&] {
        const Text log = win32::windowText(window.control(ControlId::Text1));
        return log.size() >= done.size() &&
               log.compare(log.size() - done.size(), done.size(), done) == 0;
    };
    RoundTrips windowTrips(window.handle());
    const double throughWindow = bench::timeOnce([&] {
        SendMessageW(window.control(ControlId::Command5), BM_CLICK, 0, 0);
        MSG message;
        while (!finished() && GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    });
    const double windowSlowest = windowTrips.slowest();

    std::printf("%-44s %10.3f s %12.3f s\n", "synchronous loop on the window's thread", sync,
                syncSlowest);
    std::printf("%-44s %10.3f s %12.3f s\n", "through the window, moves on its worker",
                throughWindow, windowSlowest);
    std::printf("%-44s %10.3f s\n", "bare MoveFileW loop", bare);
    std::printf("through the window / synchronous loop: %.3f\n", throughWindow / sync);
    std::printf("(files left in %ls)\n", work.c_str());
    return finished() ? 0 : 1;
}
