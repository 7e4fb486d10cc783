// Shared by the Win32 tests: scratch folders that clean up after themselves, files made and read
// through the W functions (past MAX_PATH too), drops built as the shell builds them, the helper
// programs built beside the tests, and child processes whose results come back in files.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::test {

namespace fs = std::filesystem;
using OwnedHandle = win32::UniqueHandle<HANDLE, CloseHandle>;
using OwnedWindow = win32::UniqueHandle<HWND, DestroyWindow>;

inline std::wstring environmentVariable(const wchar_t* name)
{
    const wchar_t* value = _wgetenv(name);
    return value != nullptr ? value : L"";
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
    Text text() const { return path_.wstring(); }

private:
    fs::path path_;
};

// Files and folders made through the W functions with the \\?\ form, so any length works.
inline bool exists(const Text& path)
{
    return GetFileAttributesW(win32::extendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void makeFolder(const Text& path)
{
    ASSERT_TRUE(CreateDirectoryW(win32::extendedLengthPath(path).c_str(), nullptr))
        << testing::PrintToString(path);
}

inline void makeFile(const Text& path, const std::string& bytes,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    OwnedHandle file(CreateFileW(win32::extendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_NEW, attributes, nullptr));
    ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << testing::PrintToString(path);
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// Makes `under` and three 90-character folders below it, so any path inside the last one is
// longer than MAX_PATH, and returns the last one.
inline Text deepFolder(const Text& under)
{
    makeFolder(under);
    Text path = under;
    for (int level = 0; level < 3; ++level) {
        path += L"\\" + Text(90, static_cast<wchar_t>(L'a' + level));
        makeFolder(path);
    }
    return path;
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

inline std::wstring quoted(const std::wstring& text)
{
    return L"\"" + text + L"\"";
}

// A system folder as GetSystemDirectoryW or GetSystemWindowsDirectoryW reports it.
inline std::wstring systemFolder(UINT(WINAPI* get)(LPWSTR, UINT))
{
    const UINT needed = get(nullptr, 0);
    std::wstring folder(needed, L'\0');
    folder.resize(get(folder.data(), needed));
    return folder;
}

// A drop built the way the shell builds one: a movable global block holding DROPFILES, then the
// paths each ended by a NUL, then one more NUL. The receiver owns it once it is handed over and
// frees it with DragFinish.
inline HDROP makeDrop(const TextList& paths, bool wide = true)
{
    std::string list;
    for (const Text& path : paths) {
        for (const wchar_t c : path) {
            if (wide) {
                list.append(reinterpret_cast<const char*>(&c), sizeof c);
            } else {
                list.push_back(static_cast<char>(c));
            }
        }
        list.append(wide ? sizeof(wchar_t) : 1, '\0');
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');

    const HGLOBAL memory =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide ? TRUE : FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// A program or DLL the build put beside the running test.
inline fs::path helper(const wchar_t* fileName)
{
    return fs::path(win32::Win32PlatformServices().ProgramDirectory()) / fileName;
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
    OwnedHandle job_;
};

}  // namespace fenrallo::test
