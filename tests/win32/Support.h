// Shared by the Win32 tests: scratch folders, files made and read through the W functions (past
// MAX_PATH too), drops built as the shell builds them, and a message pump.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "platform/win32/FileMove.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::test {

namespace fs = std::filesystem;
using OwnedHandle = win32::UniqueHandle<HANDLE, CloseHandle>;

// A new folder under `root`: Q: and R: are tools/with-wine's scratch drives on two file
// systems, removed with everything on them when the tests end.
inline Text scratchFolder(const Text& root = L"Q:\\")
{
    static unsigned serial = 0;
    const Text path = root + L"fenrallo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(++serial);
    EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << "run under tools/with-wine";
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

// The bytes of a file, or "<missing>".
inline std::string contents(const Text& path)
{
    std::ifstream in(fs::path(win32::extendedLengthPath(path)), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// The name of a temporary copy in `folder` of at least `bytes`, or the empty text.
inline Text temporaryCopy(const Text& folder, std::uintmax_t bytes = 0)
{
    const auto all = fs::directory_iterator(folder);
    const auto found =
        std::find_if(begin(all), end(all), [bytes](const fs::directory_entry& entry) {
            std::error_code error;
            return entry.path().filename().wstring().starts_with(win32::kTemporaryPrefix) &&
                   fs::file_size(entry.path(), error) >= bytes && !error;
        });
    return found == end(all) ? Text() : found->path().filename().wstring();
}

// A drop's list of paths as the shell writes it: each path ended by a NUL, then one more NUL.
inline std::string pathList(const TextList& paths, bool wide)
{
    std::string list;
    for (const Text& path : paths) {
        for (const wchar_t c : path + L'\0') {
            list.append(reinterpret_cast<const char*>(&c), wide ? sizeof c : 1);
        }
    }
    return list.append(wide ? sizeof(wchar_t) : 1, '\0');
}

// A DROPFILES whose list starts `offset` bytes in, followed by `list`, in a block of `size`
// bytes where that is more. Whoever receives it frees it with DragFinish.
inline HDROP makeBlock(const std::string& list, bool wide, DWORD offset = sizeof(DROPFILES),
                       std::size_t size = 0)
{
    const HGLOBAL memory =
        GlobalAlloc(GMEM_MOVEABLE, std::max(size, sizeof(DROPFILES) + list.size()));
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

// Puts `block` on the clipboard as the file manager's Copy does; `owner` is a window of the
// caller's.
inline void copyFiles(HWND owner, HDROP block)
{
    // Wine's clipboard manager opens the clipboard for a moment after each change.
    for (int i = 0; i < 200 && !OpenClipboard(owner); ++i) {
        Sleep(10);
    }
    EmptyClipboard();
    SetClipboardData(CF_HDROP, block);
    CloseClipboard();
}

// While it lives, the next post of `message` is refused, as Windows refuses any post to a thread
// whose queue holds 10,000 messages (Wine never does): the import entry of PostMessageW that this
// test and the product code linked into it post through is swapped.
class RefusedPost {
public:
    explicit RefusedPost(UINT message)
    {
        auto* const image = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const IMAGE_DATA_DIRECTORY entries =
            reinterpret_cast<const IMAGE_NT_HEADERS*>(
                image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew)
                ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
        auto* const first = reinterpret_cast<Post*>(image + entries.VirtualAddress);
        auto* const last = first + entries.Size / sizeof(Post);
        slot_ = std::find(first, last, &PostMessageW);
        DWORD access = 0;
        if (slot_ == last || !VirtualProtect(slot_, sizeof(Post), PAGE_READWRITE, &access)) {
            ADD_FAILURE() << "PostMessageW has no import entry to swap";
            slot_ = &spare_;
        }
        refused_ = message;
        post_ = std::exchange(*slot_, refuse);
    }
    ~RefusedPost() { *slot_ = post_; }

private:
    using Post = decltype(&PostMessageW);
    static BOOL WINAPI refuse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        UINT refused = message;
        return !refused_.compare_exchange_strong(refused, 0) &&
               post_(window, message, wParam, lParam);
    }

    // The real one, as the entry held it: naming PostMessageW reads the entry again.
    static inline Post post_ = nullptr;
    static inline std::atomic<UINT> refused_{0};
    Post spare_ = nullptr;
    Post* slot_ = nullptr;
};

inline void pumpMessages()
{
    for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace fenrallo::test
