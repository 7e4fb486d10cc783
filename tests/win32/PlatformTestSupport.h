// Shared by the Win32 platform tests: scratch folders that clean up after themselves, the
// helper programs built beside the tests, and child processes whose results come back in files.
#pragma once

#include <windows.h>

#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::test {

namespace fs = std::filesystem;

inline std::wstring environmentVariable(const wchar_t* name)
{
    const DWORD needed = GetEnvironmentVariableW(name, nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring value(needed, L'\0');
    const DWORD length = GetEnvironmentVariableW(name, value.data(), needed);
    value.resize(length < needed ? length : 0);
    return value;
}

// tools/with-wine maps Q: to a folder of its own; only there may a test write to a drive root.
inline bool haveScratchDrive()
{
    return !environmentVariable(L"FENRALLO_WINE_WORK").empty() &&
           GetDriveTypeW(L"Q:\\") == DRIVE_FIXED;
}

// R: sits on another file system under tools/with-wine.
inline bool haveOtherVolume()
{
    return haveScratchDrive() && GetDriveTypeW(L"R:\\") == DRIVE_FIXED;
}

inline fs::path scratchRoot()
{
    return haveScratchDrive() ? fs::path(L"Q:\\") : fs::temp_directory_path();
}

// A fresh folder, removed with everything in it when the test ends.
class ScratchDir {
public:
    explicit ScratchDir(const fs::path& root = scratchRoot())
    {
        static unsigned serial = 0;
        path_ = root / (L"fenrallo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++serial));
        fs::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// A program or DLL the build put beside the running test.
inline fs::path helper(const wchar_t* fileName)
{
    return fs::path(win32::Win32PlatformServices().ProgramDirectory()) / fileName;
}

inline void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Helpers report text as raw UTF-16, the form wchar_t holds.
inline std::wstring readUtf16File(const fs::path& path)
{
    const std::string bytes = readFile(path);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
    return text;
}

// Windows compares file names without regard to case.
inline std::wstring lowered(std::wstring text)
{
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

inline std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline std::wstring quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

struct ChildExit {
    bool ran = false;
    DWORD code = 0;
};

// Runs helper programs inside a job that ends with this object, so whatever they start in turn
// (a file manager a failing test never closed) ends too, instead of holding the test run's
// output open.
class ChildProcesses {
public:
    ChildProcesses() : job_(CreateJobObjectW(nullptr, nullptr))
    {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits,
                                sizeof limits);
    }

    // Runs `program` with `arguments` in `currentDirectory` and waits for it to end.
    ChildExit run(const fs::path& program, const std::wstring& arguments,
                  const fs::path& currentDirectory)
    {
        std::wstring line = quoted(program.wstring());
        line += L' ';
        line += arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                            nullptr, currentDirectory.c_str(), &startup, &started)) {
            return {};
        }
        const OwnedHandle process(started.hProcess);
        const OwnedHandle thread(started.hThread);
        // Windows 7 cannot nest jobs; the child then simply runs outside this one.
        AssignProcessToJobObject(job_.get(), process.get());
        ResumeThread(thread.get());
        ChildExit exit;
        if (WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.get(), &exit.code)) {
            exit.ran = true;
        } else {
            TerminateProcess(process.get(), 1);
        }
        return exit;
    }

private:
    using OwnedHandle = win32::UniqueHandle<HANDLE, CloseHandle>;
    OwnedHandle job_;
};

}  // namespace fenrallo::test
