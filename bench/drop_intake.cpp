// Drop intake through the real window: a WM_DROPFILES on Form1's List1 (already holding entries
// dropped before), read, checked for duplicates, inserted and reported in the run log. Against
// it, a bare loop that only inserts the same texts at the same positions into a plain list box
// with redrawing suspended. Then List1's rows painted again, all of them too long for the list,
// shortened in the middle and drawn in their states' colours, against a plain list box of the
// same size, font and texts.
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchCommon.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/MainWindow.h"
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
    InvalidateRect(box, nullptr, TRUE);
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

double dropIntake(const TextList& existing, const TextList& dropped)
{
    MainWindow window;
    window.create(GetModuleHandleW(nullptr));
    window.show(SW_SHOWNORMAL);
    const HWND list = window.control(ControlId::List1);
    SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(bench::makeDrop(existing)), 0);
    bench::pumpMessages();
    const HDROP drop = bench::makeDrop(dropped);
    const double seconds = bench::timeOnce([&] {
        SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        bench::pumpMessages();
    });
    if (win32::Win32ListBox(list).count() != static_cast<int>(existing.size() + dropped.size())) {
        std::printf("wrong entry count\n");
    }
    return seconds;
}

// Seconds for one repaint of every row in sight, the median of `rounds` each timed over 20.
double repaint(HWND list, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        times.push_back(bench::timeOnce([list] {
                            for (int i = 0; i < 20; ++i) {
                                RedrawWindow(list, nullptr, nullptr,
                                             RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                            }
                        }) /
                        20);
    }
    return bench::median(times);
}

void repaintRow(HWND host, int rounds)
{
    TextList texts;
    for (int i = 0; i < 100; ++i) {
        texts.push_back(L"C:\\Users\\用户\\Documents\\" + Text(140, L'资') + L"\\report-" +
                        std::to_wstring(i) + L".docx");
    }
    MainWindow window;
    window.create(GetModuleHandleW(nullptr));
    window.show(SW_SHOWNORMAL);
    const HWND list = window.control(ControlId::List1);
    SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(bench::makeDrop(texts)), 0);
    win32::Win32ListBox rows(list);
    for (int i = 0; i < rows.count(); i += 2) {
        rows.setMark(i, {i % 4 == 0 ? EntryMark::State::Moved : EntryMark::State::Stayed, 5});
    }
    const HWND plain = bench::makeListBox(host);
    SendMessageW(plain, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), TRUE);
    prefill(plain, texts);
    bench::pumpMessages();
    const double product = repaint(list, rounds);
    const double bare = repaint(plain, rounds);
    std::printf("%-44s %9.3f ms %9.3f ms %8.2f\n", "repaint of List1's rows in sight, long paths",
                product * 1000, bare * 1000, product / bare);
    DestroyWindow(plain);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 3;
    HWND host = bench::makeHostWindow();
    std::printf(
        "drop of new paths onto listed ones (median of %d)   drop intake  bare insert loop  "
        "ratio\n",
        rounds);
    for (const auto& [listed, n] :
         {std::pair{1000, 1000}, {10000, 10000}, {32767, 32767}, {30000, 10}, {0, 10}}) {
        const TextList existing = paths(L"旧", listed);
        const TextList dropped = paths(L"新", n);
        std::vector<double> product;
        std::vector<double> bare;
        for (int round = 0; round < rounds; ++round) {
            bare.push_back(bareLoop(host, existing, dropped));
            product.push_back(dropIntake(existing, dropped));
        }
        bench::printRow(std::to_string(n) + " onto " + std::to_string(listed),
                        bench::median(product), bench::median(bare));
    }
    repaintRow(host, rounds);
    DestroyWindow(host);
    return 0;
}
