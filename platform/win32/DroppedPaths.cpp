// Reads the paths out of a drop. The block comes from another program (a drag source, or
// whatever was put on the clipboard) and is trusted in nothing: DragQueryFileW walks it without
// any bounds, so a block whose offset points past its end, or whose list has no final NUL,
// would be read beyond its memory. The block is parsed here instead, in one pass (asking
// DragQueryFileW for each path in turn is also quadratic: 40,000 dropped paths took half a
// minute), and a block that is not a well-formed list gives no paths at all.
#include "platform/win32/DroppedPaths.h"

#include <shlobj.h>

#include <cstring>
#include <string>
#include <utility>

namespace fenrallo::win32 {

namespace {

// No drop of real paths comes near this: 256 MiB holds four thousand paths of the longest kind
// there is, or a million ordinary ones. A larger block is not worth the memory its copy takes.
constexpr std::size_t kLargestBlock = std::size_t{256} << 20;

class LockedBlock {
public:
    explicit LockedBlock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory_)) {}
    ~LockedBlock()
    {
        if (data_ != nullptr) {
            GlobalUnlock(memory_);
        }
    }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    const char* bytes() const { return static_cast<const char*>(data_); }
    std::size_t size() const { return data_ != nullptr ? GlobalSize(memory_) : 0; }

private:
    HGLOBAL memory_;
    void* data_;
};

// The texts of a list of NUL-ended texts ended by one more NUL; nothing when the list does not
// end within `list`.
template <typename Char>
std::optional<std::vector<std::basic_string<Char>>> splitList(const std::basic_string<Char>& list)
{
    std::vector<std::basic_string<Char>> texts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(Char{}, start);
        if (end == std::basic_string<Char>::npos) {
            return std::nullopt;
        }
        if (end == start) {
            return texts;
        }
        texts.push_back(list.substr(start, end - start));
        start = end + 1;
    }
}

// An ANSI path in the system's code page, as the shell writes one.
std::optional<Text> widened(const std::string& ansi)
{
    const int length = static_cast<int>(ansi.size());
    const int units =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
    if (units <= 0) {
        return std::nullopt;
    }
    Text wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, wide.data(), units);
    return wide;
}

std::optional<TextList> readList(const LockedBlock& block)
{
    DROPFILES header{};
    if (block.size() < sizeof header || block.size() > kLargestBlock) {
        return std::nullopt;
    }
    std::memcpy(&header, block.bytes(), sizeof header);
    if (header.pFiles < sizeof header || header.pFiles >= block.size()) {
        return std::nullopt;
    }
    const std::size_t bytes = block.size() - header.pFiles;
    const char* const list = block.bytes() + header.pFiles;
    if (header.fWide) {
        // Copied out rather than cast: the block owes wchar_t no alignment. An odd last byte
        // belongs to no character.
        Text all(bytes / sizeof(wchar_t), L'\0');
        std::memcpy(all.data(), list, all.size() * sizeof(wchar_t));
        return splitList(all);
    }
    const auto ansi = splitList(std::string(list, bytes));
    if (!ansi) {
        return std::nullopt;
    }
    TextList paths;
    for (const std::string& path : *ansi) {
        std::optional<Text> wide = widened(path);
        if (!wide) {
            return std::nullopt;
        }
        paths.push_back(std::move(*wide));
    }
    return paths;
}

}  // namespace

TextList droppedPaths(HDROP drop)
{
    if (drop == nullptr) {
        return {};
    }
    std::optional<TextList> paths = readList(LockedBlock(reinterpret_cast<HGLOBAL>(drop)));
    return paths ? std::move(*paths) : TextList();
}

std::optional<TextList> clipboardPaths(HWND owner)
{
    if (!IsClipboardFormatAvailable(CF_HDROP)) {
        return std::nullopt;
    }
    // Another program may have it open for a moment: a paste waits that moment out.
    bool open = OpenClipboard(owner) != FALSE;
    for (int attempt = 0; attempt < 10 && !open; ++attempt) {
        Sleep(20);
        open = OpenClipboard(owner) != FALSE;
    }
    if (!open) {
        return std::nullopt;
    }
    // The clipboard keeps the drop: it is read, never handed back with DragFinish.
    TextList paths = droppedPaths(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
    CloseClipboard();
    return paths;
}

}  // namespace fenrallo::win32
