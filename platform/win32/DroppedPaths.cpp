// Reads the paths out of a drop. DragQueryFileW finds the i-th path by walking the list from its
// start, so asking for every path in turn is quadratic: 40,000 dropped paths took half a minute.
// A drop in the shell's wide form is therefore read in one pass over its block; anything else
// (an ANSI drop, a block that does not end where it should) goes through DragQueryFileW, asking
// each path's length before reading it so no path is ever cut at MAX_PATH.
#include "platform/win32/DroppedPaths.h"

#include <shlobj.h>

#include <cstring>
#include <optional>
#include <utility>

namespace fenrallo::win32 {

namespace {

class LockedDrop {
public:
    explicit LockedDrop(HDROP drop)
        : memory_(reinterpret_cast<HGLOBAL>(drop)), data_(GlobalLock(memory_))
    {
    }
    ~LockedDrop()
    {
        if (data_ != nullptr) {
            GlobalUnlock(memory_);
        }
    }
    LockedDrop(const LockedDrop&) = delete;
    LockedDrop& operator=(const LockedDrop&) = delete;

    const char* bytes() const { return static_cast<const char*>(data_); }
    std::size_t size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

// The paths of a wide drop, read in one pass; nothing when the block is not one.
std::optional<TextList> readWideList(HDROP drop)
{
    const LockedDrop locked(drop);
    DROPFILES header{};
    if (locked.size() < sizeof header) {
        return std::nullopt;
    }
    std::memcpy(&header, locked.bytes(), sizeof header);
    if (!header.fWide || header.pFiles < sizeof header || header.pFiles >= locked.size()) {
        return std::nullopt;
    }
    // Copied out rather than cast: the block owes wchar_t no alignment.
    const std::size_t units = (locked.size() - header.pFiles) / sizeof(wchar_t);
    Text all(units, L'\0');
    std::memcpy(all.data(), locked.bytes() + header.pFiles, units * sizeof(wchar_t));

    TextList paths;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = all.find(L'\0', start);
        if (end == Text::npos) {
            return std::nullopt;
        }
        if (end == start) {
            return paths;
        }
        paths.push_back(all.substr(start, end - start));
        start = end + 1;
    }
}

TextList queryEachPath(HDROP drop)
{
    TextList paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        Text path(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

}  // namespace

TextList droppedPaths(HDROP drop)
{
    if (drop == nullptr) {
        return {};
    }
    std::optional<TextList> paths = readWideList(drop);
    return paths ? std::move(*paths) : queryEachPath(drop);
}

std::optional<TextList> clipboardPaths(HWND owner)
{
    std::optional<TextList> paths;
    if (IsClipboardFormatAvailable(CF_HDROP) && OpenClipboard(owner)) {
        // The clipboard keeps the drop: it is read, never handed back with DragFinish.
        paths = droppedPaths(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
        CloseClipboard();
    }
    return paths;
}

}  // namespace fenrallo::win32
