// Shared by the Win32 tests: scratch folders that clean up after themselves, files made and read
// through the W functions (past MAX_PATH too), and drops built as the shell builds them.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::test {

namespace fs = std::filesystem;
using OwnedHandle = win32::UniqueHandle<HANDLE, CloseHandle>;

// tools/with-wine maps Q: to a folder of its own and R: to one on another file system; only
// there may a test write to a drive root or cross volumes.
inline bool haveScratchDrives()
{
    return _wgetenv(L"FENRALLO_WINE_WORK") != nullptr && GetDriveTypeW(L"Q:\\") == DRIVE_FIXED &&
           GetDriveTypeW(L"R:\\") == DRIVE_FIXED;
}

// A new folder of its own under `root`. tools/with-wine removes the drives with everything on
// them when the tests end.
inline Text scratchFolder(const Text& root = L"Q:\\")
{
    static unsigned serial = 0;
    const Text path = root + L"fenrallo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(++serial);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

inline void makeFolder(const Text& path)
{
    ASSERT_TRUE(CreateDirectoryW(win32::extendedLengthPath(path).c_str(), nullptr))
        << testing::PrintToString(path);
}

inline void makeFile(const Text& path, const std::string& bytes,
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL, const FILETIME* written = nullptr)
{
    const OwnedHandle file(CreateFileW(win32::extendedLengthPath(path).c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_NEW, attributes, nullptr));
    ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << testing::PrintToString(path);
    DWORD done = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    SetFileTime(file.get(), nullptr, nullptr, written);
}

// `under` and three 90-character folders below it, so any path inside is past MAX_PATH.
inline Text deepFolder(const Text& under)
{
    Text path = under;
    makeFolder(path);
    for (const wchar_t letter : {L'a', L'b', L'c'}) {
        path += L"\\" + Text(90, letter);
        makeFolder(path);
    }
    return path;
}

// The bytes of a file, or "<missing>".
inline std::string contents(const Text& path)
{
    std::ifstream in(fs::path(win32::extendedLengthPath(path)), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// A drop's list of paths as the shell writes it: each path ended by a NUL, then one more NUL.
inline std::string pathList(const TextList& paths, bool wide)
{
    std::string list;
    for (const Text& path : paths) {
        for (const wchar_t c : path) {
            list.append(reinterpret_cast<const char*>(&c), wide ? sizeof c : 1);
        }
        list.append(wide ? sizeof(wchar_t) : 1, '\0');
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');
    return list;
}

// A DROPFILES whose list starts `offset` bytes in, followed by `list`. Whoever receives it frees
// it with DragFinish.
inline HDROP makeBlock(const std::string& list, bool wide, DWORD offset = sizeof(DROPFILES))
{
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    *header = DROPFILES{offset, {0, 0}, FALSE, wide ? TRUE : FALSE};
    std::memcpy(header + 1, list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// A drop as the shell builds one.
inline HDROP makeDrop(const TextList& paths, bool wide = true)
{
    return makeBlock(pathList(paths, wide), wide);
}

// Puts `paths` on the clipboard as the file manager's Copy does; `owner` is a window of the caller.
inline void copyFiles(HWND owner, HDROP block)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
}

inline void copyFiles(HWND owner, const TextList& paths)
{
    copyFiles(owner, makeDrop(paths));
}

}  // namespace fenrallo::test
