// Drop intake of N paths onto a list already holding N, with the real list box, against a bare
// loop that only inserts the same texts at the same positions with redrawing suspended.
#include <cstdio>
#include <string>

#include "BenchCommon.h"
#include "lists/SourceList.h"
#include "log/RunLog.h"
#include "platform/win32/Win32Widgets.h"

using namespace fenrallo;

namespace {

TextList paths(const wchar_t* folder, int count)
{
    TextList result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        result.push_back(std::wstring(L"C:\\Users\\用户\\Documents\\项目资料\\") + folder +
                         L"\\report-" + std::to_wstring(i) + L".docx");
    }
    return result;
}

void prefill(HWND box, const TextList& texts)
{
    SendMessageW(box, WM_SETREDRAW, FALSE, 0);
    for (const Text& text : texts) {
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(box, WM_SETREDRAW, TRUE, 0);
    bench::pumpMessages();
}

double bareLoop(HWND host, const TextList& existing, const TextList& dropped)
{
    HWND box = bench::makeListBox(host);
    prefill(box, existing);
    const double seconds = bench::timeOnce([&] {
        SendMessageW(box, WM_SETREDRAW, FALSE, 0);
        int position = 0;
        for (const Text& text : dropped) {
            SendMessageW(box, LB_INSERTSTRING, static_cast<WPARAM>(position++),
                         reinterpret_cast<LPARAM>(text.c_str()));
        }
        SendMessageW(box, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(box, nullptr, TRUE);
        bench::pumpMessages();
    });
    DestroyWindow(box);
    return seconds;
}

double dropIntake(HWND host, HWND edit, const TextList& existing, const TextList& dropped)
{
    HWND box = bench::makeListBox(host);
    prefill(box, existing);
    win32::Win32ListBox list(box);
    win32::Win32TextBox logBox(edit, RunLog::kRed);
    RunLog log(logBox);
    SourceList sources(list, log);
    const double seconds = bench::timeOnce([&] {
        sources.onDrop(dropped);
        bench::pumpMessages();
    });
    if (list.count() != static_cast<int>(existing.size() + dropped.size())) {
        std::printf("wrong entry count %d\n", list.count());
    }
    DestroyWindow(box);
    return seconds;
}

// What the run log's part of a drop costs by itself: the same calls on the same text box.
double logUpdate(HWND edit)
{
    win32::Win32TextBox logBox(edit, RunLog::kRed);
    RunLog log(logBox);
    return bench::timeOnce([&] {
        log.resetWithHeader();
        log.ensureRed();
        log.appendReceived(1);
        bench::pumpMessages();
    });
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 3;
    HWND host = bench::makeHostWindow();
    HWND edit = bench::makeEdit(host);
    std::printf(
        "drop of N new paths onto N listed (median of %d)  drop intake  bare insert loop  ratio\n",
        rounds);
    for (const int n : {1000, 10000, 32767}) {
        const TextList existing = paths(L"旧", n);
        const TextList dropped = paths(L"新", n);
        std::vector<double> product;
        std::vector<double> bare;
        for (int round = 0; round < rounds; ++round) {
            bare.push_back(bareLoop(host, existing, dropped));
            product.push_back(dropIntake(host, edit, existing, dropped));
        }
        bench::printRow("N = " + std::to_string(n), bench::median(product), bench::median(bare));
    }
    std::vector<double> log;
    for (int round = 0; round < rounds; ++round) {
        log.push_back(logUpdate(edit));
    }
    std::printf("of each drop, the run log's update alone: %.3f s\n", bench::median(log));
    DestroyWindow(host);
    return 0;
}
