// Where start-up time goes: Form1 is put together in a fresh process from the program's own parts
// (the layout, its fonts and icons, the log's scroll bar) in the order the program does it, each
// part timed, and an empty window the same way. Every part a process does first pays for what
// it is the first to need (user32's connection to the display, the common controls), so each run
// is a new process. It runs with the program's manifest (visual styles, DPI awareness).
//   bench_startup_stages [runs]          prints the medians of both
//   bench_startup_stages --once program  one run, printed as "stage<TAB>seconds" lines
//   bench_startup_stages --once empty
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "app/Dpi.h"
#include "app/FormLayout.h"
#include "app/ReadOnlyLog.h"
#include "platform/win32/DllHardening.h"

using namespace fenrallo;

namespace {

struct Stage {
    const char* name;
    double seconds;
};

// Parts timed one after another, in order.
class Stages {
public:
    template <typename Work>
    void time(const char* name, const Work& work)
    {
        stages_.push_back({name, bench::timeOnce(work)});
    }
    const std::vector<Stage>& all() const { return stages_; }

private:
    std::vector<Stage> stages_;
};

// The program's parts in the program's order (wWinMain, MainWindow::create, its WM_CREATE and
// show).
Stages startProgram(HINSTANCE instance)
{
    Stages stages;
    stages.time("DLL search limited to the system", [] { win32::restrictDllSearchToSystem(); });
    stages.time("window class (user32's first call)",
                [&] { registerFormClass(instance, L"FenralloStages", DefWindowProcW); });
    HWND form = nullptr;
    stages.time("form window created", [&] {
        form = CreateWindowExW(kFormExStyle, L"FenralloStages", L"Fenrallo", kFormStyle, 0, 0, 0, 0,
                               nullptr, nullptr, instance, nullptr);
    });
    FormLayout layout;
    stages.time("controls created (the first loads comctl32 6)",
                [&] { layout.createControls(form, instance); });
    ReadOnlyLog log;
    stages.time("the log's scroll bar",
                [&] { log.create(layout.control(ControlId::Text1), instance); });
    const UINT dpi = dpiOfWindow(form);
    stages.time("form placed for the DPI", [&] { layout.placeForm(dpi); });
    stages.time("Chinese faces looked up", [] {
        for (int i = 0; i < kFontCount; ++i) {
            installedChineseFace(fontRow(static_cast<FontId>(i)).face);
        }
    });
    stages.time("fonts, places and icons", [&] {
        layout.layoutControls(dpi);
        log.layout(dpi);
    });
    stages.time("shown and painted", [&] {
        ShowWindow(form, SW_SHOWNORMAL);
        UpdateWindow(form);
    });
    DestroyWindow(form);
    return stages;
}

// What bench_minimal_window does, under the same manifest.
Stages startEmpty(HINSTANCE instance)
{
    Stages stages;
    stages.time("window class (user32's first call)", [&] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = L"FenralloStagesEmpty";
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        RegisterClassW(&windowClass);
    });
    HWND form = nullptr;
    stages.time("form window created", [&] {
        form = CreateWindowExW(0, L"FenralloStagesEmpty", L"Minimal", WS_OVERLAPPEDWINDOW, 258, 159,
                               839, 484, nullptr, nullptr, instance, nullptr);
    });
    stages.time("shown and painted", [&] {
        ShowWindow(form, SW_SHOWNORMAL);
        UpdateWindow(form);
    });
    DestroyWindow(form);
    return stages;
}

// Runs this program with `arguments` and reads what it prints.
std::string runSelf(const std::wstring& arguments)
{
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring commandLine = L"\"" + self + L"\" " + arguments;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE reading = nullptr;
    HANDLE writing = nullptr;
    if (!CreatePipe(&reading, &writing, &inherited, 0)) {
        return {};
    }
    const bench::Handle readEnd(reading);
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writing;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writing);
    if (!started) {
        return {};
    }
    const bench::Handle processHandle(process.hProcess);
    const bench::Handle threadHandle(process.hThread);
    std::string output;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(reading, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        output.append(buffer, read);
    }
    WaitForSingleObject(process.hProcess, 10000);
    return output;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    if (argc == 3 && std::wcscmp(argv[1], L"--once") == 0) {
        const bool program = std::wcscmp(argv[2], L"program") == 0;
        const Stages stages = program ? startProgram(instance) : startEmpty(instance);
        for (const Stage& stage : stages.all()) {
            std::printf("%s\t%.6f\n", stage.name, stage.seconds);
        }
        return 0;
    }
    const int runs = argc > 1 ? _wtoi(argv[1]) : 10;
    // Per stage, in the order first met: the seconds of every run, for Fenrallo and the empty
    // window.
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> times[2];
    for (int run = 0; run < runs; ++run) {
        for (int which = 0; which < 2; ++which) {
            const std::string output = runSelf(which == 0 ? L"--once program" : L"--once empty");
            for (std::size_t at = 0, end = 0; (end = output.find('\n', at)) != std::string::npos;
                 at = end + 1) {
                const std::string line = output.substr(at, end - at);
                const std::size_t tab = line.find('\t');
                if (tab == std::string::npos) {
                    continue;
                }
                const std::string name = line.substr(0, tab);
                if (times[0].count(name) == 0 && times[1].count(name) == 0) {
                    order.push_back(name);
                }
                times[which][name].push_back(std::strtod(line.c_str() + tab + 1, nullptr));
            }
        }
    }
    std::printf(
        "start-up by part, each run a new process (median of %d, ms)  Fenrallo  empty window\n",
        runs);
    double totals[2] = {0, 0};
    for (const std::string& name : order) {
        double medians[2] = {0, 0};
        for (int which = 0; which < 2; ++which) {
            medians[which] = bench::median(times[which][name]) * 1000;
            totals[which] += medians[which];
        }
        std::printf("  %-48s %8.1f  %8.1f\n", name.c_str(), medians[0], medians[1]);
    }
    std::printf("  %-48s %8.1f  %8.1f\n", "sum of the parts", totals[0], totals[1]);
    return 0;
}
