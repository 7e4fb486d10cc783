// Batch moves through the real window against the platform's bare loops, in the same run:
// N small files (10,000 unless told otherwise) into a target folder on the same volume against
// a bare MoveFileW loop, the undo of that batch against a bare MoveFileW loop back, and 200 files
// of 1 MiB onto another volume (R:, which tools/with-wine maps to a tmpfs) and from there back
// onto the disk, where the copy's flushes cost, against a bare CopyFileW + DeleteFileW loop.
// Meanwhile a second thread times a round trip to the window (WM_NULL) every 20 ms; the slowest one
// says how long the window could not answer. The message that ends a batch (marks, reasons, the
// undo's record) is timed on its own: it holds the window up however many entries there are.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "BenchCommon.h"
#include "app/MainWindow.h"
#include "platform/win32/Win32Widgets.h"

using namespace fenrallo;

namespace {

TextList makeFiles(const std::wstring& folder, int count, std::size_t bytes)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string data(bytes, 'x');
    TextList files;
    for (int i = 0; i < count; ++i) {
        files.push_back(folder + L"\\文件-" + std::to_wstring(i) + L".txt");
        bench::Handle file(bench::openNewFile(files.back()));
        DWORD written = 0;
        WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
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

struct Timing {
    double seconds;
    double slowestAnswer;
    // The window's handling of the message after which the log reported the batch.
    double end;
};

// Drops `files` and `target` on a new Form1, clicks 移至指定目录 and serves the window until the
// run log reports the batch. With `undo`, then chooses the system menu's 撤销上次移动 and serves
// the window until the log reports that too, timed into *undo.
Timing throughWindow(const TextList& files, const std::wstring& target, Timing* undo = nullptr)
{
    CreateDirectoryW(target.c_str(), nullptr);
    MainWindow window;
    window.create(GetModuleHandleW(nullptr));
    window.show(SW_SHOWNORMAL);
    SendMessageW(window.control(ControlId::List1), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(bench::makeDrop(files)), 0);
    SendMessageW(window.control(ControlId::List2), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(bench::makeDrop({target})), 0);
    bench::pumpMessages();
    const Text done = L"本次共移动" + std::to_wstring(files.size()) + L"个文件";
    // Starts a batch, serves the window until the log has its `reports`th report, and checks
    // that it names every file.
    const auto timed = [&](const std::function<void()>& start, std::size_t reports) -> Timing {
        const auto finished = [&] {
            const Text log = win32::windowText(window.control(ControlId::Text1));
            std::size_t found = 0;
            for (std::size_t at = log.find(L"本次共移动"); at != Text::npos;
                 at = log.find(L"本次共移动", at + 1)) {
                ++found;
            }
            return found >= reports;
        };
        RoundTrips trips(window.handle());
        double end = 0;
        const double seconds = bench::timeOnce([&] {
            start();
            MSG message;
            while (!finished() && GetMessageW(&message, nullptr, 0, 0) > 0) {
                TranslateMessage(&message);
                end = bench::timeOnce([&message] { DispatchMessageW(&message); });
            }
        });
        const Text log = win32::windowText(window.control(ControlId::Text1));
        if (log.size() < done.size() || log.substr(log.size() - done.size()) != done) {
            std::printf("the batch did not move every file\n");
        }
        return {seconds, trips.slowest(), end};
    };
    const Timing batch =
        timed([&] { SendMessageW(window.control(ControlId::Command5), BM_CLICK, 0, 0); }, 1);
    if (undo != nullptr) {
        *undo = timed(
            [&] { PostMessageW(window.handle(), WM_SYSCOMMAND, MainWindow::kUndoCommand, 0); }, 2);
    }
    return batch;
}

double bareLoop(const TextList& files, const std::wstring& target,
                const std::function<bool(const Text&, const Text&)>& move)
{
    CreateDirectoryW(target.c_str(), nullptr);
    return bench::timeOnce([&] {
        for (const Text& file : files) {
            if (!move(file, target + L"\\" + file.substr(file.rfind(L'\\') + 1))) {
                std::printf("a bare move failed\n");
            }
        }
    });
}

void report(const char* what, const Timing& window, double bare)
{
    std::printf("%-46s %8.3f s %8.3f s %6.2f %10.3f s %8.1f ms\n", what, window.seconds, bare,
                window.seconds / bare, window.slowestAnswer, window.end * 1000);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const std::wstring work = bench::temporaryFolder(L"move");
    std::printf("%-46s %10s %10s %6s %12s %11s\n", "batch move", "window", "bare loop", "ratio",
                "slowest answer", "batch end");

    const TextList bareFiles = makeFiles(work + L"\\bare", count, 11);
    const TextList windowFiles = makeFiles(work + L"\\window", count, 11);
    const auto rename = [](const Text& from, const Text& to) {
        return MoveFileW(from.c_str(), to.c_str()) != FALSE;
    };
    const double bare = bareLoop(bareFiles, work + L"\\bare-out", rename);
    Timing undo{};
    const Timing window = throughWindow(windowFiles, work + L"\\window-out", &undo);
    report((std::to_string(count) + " small files, same volume (MoveFileW)").c_str(), window, bare);
    // The undo moves the last moved back first; so does its bare loop.
    TextList bareMoved;
    for (auto file = bareFiles.rbegin(); file != bareFiles.rend(); ++file) {
        bareMoved.push_back(work + L"\\bare-out" + file->substr(file->rfind(L'\\')));
    }
    const double bareBack = bareLoop(bareMoved, work + L"\\bare", rename);
    report((std::to_string(count) + " taken back by the undo (MoveFileW)").c_str(), undo, bareBack);

    const std::wstring other = L"R:\\fenrallo-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(other.c_str(), nullptr);
    const auto copyAndDelete = [](const Text& from, const Text& to) {
        return CopyFileW(from.c_str(), to.c_str(), TRUE) && DeleteFileW(from.c_str());
    };
    for (const auto& [from, to, what] :
         {std::tuple{work, other, "200 files of 1 MiB, to R: (CopyFileW+DeleteFileW)"},
          {other, work, "200 files of 1 MiB, from R: onto the disk"}}) {
        const TextList bareLarge = makeFiles(from + L"\\bare-large", 200, 1 << 20);
        const TextList windowLarge = makeFiles(from + L"\\window-large", 200, 1 << 20);
        const double bareAcross = bareLoop(bareLarge, to + L"\\bare-across", copyAndDelete);
        const Timing windowAcross = throughWindow(windowLarge, to + L"\\window-across");
        report(what, windowAcross, bareAcross);
    }
    std::printf("(files left in %ls and %ls)\n", work.c_str(), other.c_str());
    return 0;
}
