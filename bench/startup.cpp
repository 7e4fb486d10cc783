// Start-up: from process creation until the program's main window is shown and the process is
// idle waiting for input, for Fenrallo1.0.exe against a program that only shows an empty window;
// and a second start of Fenrallo1.0.exe with 1,000 paths, from its creation until the window
// already open lists them. Each run closes the window and waits for the process to end before
// the next.
#include <cstdio>
#include <string>

#include "BenchCommon.h"
#include "app/Layout.h"

using namespace fenrallo;

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findShownWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The process started with `arguments` in `folder` and its window once shown and idle (null
// when it showed none), with the seconds that took.
struct Started {
    bench::Handle process;
    HWND window = nullptr;
    double seconds = -1;
};

Started start(const std::wstring& exe, const std::wstring& arguments = {},
              const std::wstring& folder = {})
{
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Started started;
    Search search{0, nullptr};
    const double elapsed = bench::timeOnce([&] {
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
            return;
        }
        WaitForInputIdle(process.hProcess, 10000);
        search.processId = process.dwProcessId;
        for (int tries = 0; tries < 10000 && search.found == nullptr; ++tries) {
            EnumWindows(findShownWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found == nullptr) {
                Sleep(1);
            }
        }
        WaitForInputIdle(process.hProcess, 10000);
    });
    if (process.hProcess != nullptr) {
        CloseHandle(process.hThread);
        started.process.reset(process.hProcess);
        started.window = search.found;
        started.seconds = search.found != nullptr ? elapsed : -1;
    }
    return started;
}

void close(Started& started)
{
    if (started.window != nullptr) {
        PostMessageW(started.window, WM_CLOSE, 0, 0);
    }
    if (started.process && WaitForSingleObject(started.process.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.process.get(), 1);
    }
}

// Seconds until the window is up; a negative value when the program did not show one.
double startOnce(const std::wstring& exe)
{
    Started started = start(exe);
    close(started);
    return started.seconds;
}

// Seconds from a second start with `paths` until the first start's window lists them.
double handOverOnce(const std::wstring& exe, const std::wstring& paths, const std::wstring& folder)
{
    Started first = start(exe);
    const HWND list = GetDlgItem(first.window, controlCommandId(ControlId::List1));
    double seconds = -1;
    if (first.window != nullptr) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION second{};
        std::wstring commandLine = L"\"" + exe + L"\" " + paths;
        seconds = bench::timeOnce([&] {
            if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &second)) {
                while (SendMessageW(list, LB_GETCOUNT, 0, 0) < 1000) {
                    Sleep(1);
                }
            }
        });
        const bench::Handle process(second.hProcess);
        const bench::Handle thread(second.hThread);
        WaitForSingleObject(process.get(), 10000);
    }
    close(first);
    return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::printf("usage: bench_startup <Fenrallo1.0.exe> <bench_minimal_window.exe> [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? _wtoi(argv[3]) : 10;
    std::wstring paths;
    for (int i = 0; i < 1000; ++i) {
        paths += L"f" + std::to_wstring(10000 + i) + L" ";
    }
    const std::wstring folder = bench::temporaryFolder(L"handover");
    std::vector<double> product;
    std::vector<double> bare;
    std::vector<double> second;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(startOnce(argv[2]));
        product.push_back(startOnce(argv[1]));
        second.push_back(handOverOnce(argv[1], paths, folder));
    }
    std::printf("start until shown and idle (median of %d)    Fenrallo   empty window   ratio\n",
                runs);
    bench::printRow("start-up", bench::median(product), bench::median(bare));
    bench::printRow("second start, 1,000 paths until listed", bench::median(second),
                    bench::median(bare));
    RemoveDirectoryW(folder.c_str());
    return 0;
}
