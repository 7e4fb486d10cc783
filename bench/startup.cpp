// Start-up: from process creation until the program's main window is shown and the process is
// idle waiting for input, for Fenrallo1.0.exe against a program that only shows an empty window.
// Each run closes the window and waits for the process to end before the next.
#include <cstdio>
#include <string>

#include "BenchCommon.h"

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

// Seconds until the window is up; a negative value when the program did not show one.
double startOnce(const std::wstring& exe)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    double seconds = -1;
    Search search{0, nullptr};
    const double elapsed = bench::timeOnce([&] {
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
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
    if (process.hProcess == nullptr) {
        return seconds;
    }
    const bench::Handle processHandle(process.hProcess);
    const bench::Handle threadHandle(process.hThread);
    if (search.found != nullptr) {
        seconds = elapsed;
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(processHandle.get(), 10000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
    }
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
    std::vector<double> product;
    std::vector<double> bare;
    for (int run = 0; run < runs; ++run) {
        bare.push_back(startOnce(argv[2]));
        product.push_back(startOnce(argv[1]));
    }
    std::printf("start until shown and idle (median of %d)    Fenrallo   empty window   ratio\n",
                runs);
    bench::printRow("start-up", bench::median(product), bench::median(bare));
    return 0;
}
