// A batch move of N small files (10,000 unless told otherwise) into a target folder and into the
// program's own folder, against a bare MoveFileW loop over the same number of files. The
// program folder is a fresh copy of this exe's folder, so the moves never touch the build tree.
#include <cstdio>
#include <string>

#include "BenchCommon.h"
#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "ops/BatchMover.h"
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

double bareLoop(const std::wstring& work, int count)
{
    CreateDirectoryW(work.c_str(), nullptr);
    const TextList files = makeFiles(work + L"\\bare-src", count);
    const std::wstring target = work + L"\\bare-dst";
    CreateDirectoryW(target.c_str(), nullptr);
    int moved = 0;
    const double seconds = bench::timeOnce([&] {
        for (const Text& file : files) {
            moved += MoveFileW(file.c_str(),
                               (target + L"\\" + file.substr(file.rfind(L'\\') + 1)).c_str())
                         ? 1
                         : 0;
        }
    });
    if (moved != count) {
        std::printf("bare loop moved %d of %d\n", moved, count);
    }
    return seconds;
}

double batchMove(HWND host, const std::wstring& sourceFolder, const std::wstring& target, int count,
                 bool toProgramDirectory)
{
    const TextList files = makeFiles(sourceFolder, count);
    CreateDirectoryW(target.c_str(), nullptr);
    HWND sourceBox = bench::makeListBox(host);
    HWND targetBox = bench::makeListBox(host);
    HWND edit = bench::makeEdit(host);
    win32::Win32ListBox sourceList(sourceBox);
    win32::Win32ListBox targetList(targetBox);
    win32::Win32TextBox logBox(edit, RunLog::kRed);
    win32::Win32PlatformServices platform(host);
    RunLog log(logBox);
    SourceList sources(sourceList, log);
    TargetList targets(targetList);
    BatchMover mover(platform, sources, targets, log);
    sources.onDrop(files);
    targets.onDrop({target});
    const double seconds = bench::timeOnce([&] {
        toProgramDirectory ? mover.moveToDefaultDirectory() : mover.moveToSpecifiedDirectory();
    });
    const Text expected = L"本次共移动" + std::to_wstring(count) + L"个文件";
    const Text logText = logBox.text();
    if (logText.size() < expected.size() ||
        logText.substr(logText.size() - expected.size()) != expected) {
        std::printf("the batch did not move every file\n");
    }
    DestroyWindow(sourceBox);
    DestroyWindow(targetBox);
    DestroyWindow(edit);
    return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int count = argc > 1 ? _wtoi(argv[1]) : 10000;
    const std::wstring selfFolder = win32::Win32PlatformServices().ProgramDirectory();
    const std::wstring self = selfFolder + L"\\bench_batch_move.exe";

    // First run: copy this exe into a fresh program folder and run the copy from there.
    if (argc < 3) {
        const std::wstring work = bench::temporaryFolder(L"move");
        const std::wstring programFolder = work + L"\\program";
        CreateDirectoryW(programFolder.c_str(), nullptr);
        const std::wstring copy = programFolder + L"\\bench_batch_move.exe";
        CopyFileW(self.c_str(), copy.c_str(), TRUE);
        std::wstring commandLine =
            L"\"" + copy + L"\" " + std::to_wstring(count) + L" \"" + work + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process)) {
            std::printf("could not start the copy\n");
            return 1;
        }
        const bench::Handle processHandle(process.hProcess);
        const bench::Handle threadHandle(process.hThread);
        WaitForSingleObject(processHandle.get(), INFINITE);
        DWORD exitCode = 1;
        GetExitCodeProcess(processHandle.get(), &exitCode);
        std::printf("(files left in %ls)\n", work.c_str());
        return static_cast<int>(exitCode);
    }

    const std::wstring work = argv[2];
    HWND host = bench::makeHostWindow();
    std::printf("batch move of %d small files             Fenrallo    bare MoveFileW   ratio\n",
                count);
    const double bare1 = bareLoop(work, count);
    const double toTarget =
        batchMove(host, work + L"\\src-target", work + L"\\target", count, false);
    const double bare2 = bareLoop(work + L"\\again", count);
    const double toProgram = batchMove(host, work + L"\\src-program", selfFolder, count, true);
    bench::printRow("into a target folder", toTarget, bare1);
    bench::printRow("into the program folder", toProgram, bare2);
    DestroyWindow(host);
    return 0;
}
