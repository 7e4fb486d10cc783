// Only what the documentation names as "nothing to list" counts as no streams; every other
// failure ends the move, which then leaves the source as it was.
#include "platform/win32/FileStreams.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace fenrallo::win32 {

namespace {

constexpr std::size_t kEntryHeader = offsetof(FILE_STREAM_INFO, StreamName);
// Far more than the streams of any real file take.
constexpr std::size_t kLargestBuffer = 8 << 20;

// A stream's name is appended to its file's path: anything but ":name:type" would name
// another file.
bool isStreamName(const Text& name)
{
    return name.size() >= 2 && name[0] == L':' &&
           name.find_first_of(Text(L"\\/\0", 3)) == Text::npos;
}

}  // namespace

std::optional<TextList> streamNamesIn(const void* buffer, std::size_t size)
{
    const auto* const bytes = static_cast<const std::byte*>(buffer);
    TextList names;
    for (std::size_t at = 0;;) {
        if (size - at < kEntryHeader) {
            return std::nullopt;
        }
        // Copied out: an entry a driver got wrong owes no alignment.
        FILE_STREAM_INFO entry{};
        std::memcpy(&entry, bytes + at, kEntryHeader);
        const std::size_t nameBytes = entry.StreamNameLength;
        if (nameBytes % sizeof(wchar_t) != 0 || nameBytes > size - at - kEntryHeader) {
            return std::nullopt;
        }
        Text name(nameBytes / sizeof(wchar_t), L'\0');
        std::memcpy(name.data(), bytes + at + kEntryHeader, nameBytes);
        if (!isStreamName(name)) {
            return std::nullopt;
        }
        if (name != L"::$DATA") {
            names.push_back(std::move(name));
        }
        if (entry.NextEntryOffset == 0) {
            return names;
        }
        if (entry.NextEntryOffset < kEntryHeader + nameBytes || entry.NextEntryOffset > size - at) {
            return std::nullopt;
        }
        at += entry.NextEntryOffset;
    }
}

std::optional<TextList> namedStreams(HANDLE file)
{
    // 8-byte entries, as the chain's alignment wants.
    std::vector<std::uint64_t> buffer(512);
    for (;;) {
        const std::size_t bytes = buffer.size() * sizeof buffer[0];
        if (GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(),
                                         static_cast<DWORD>(bytes))) {
            std::optional<TextList> names = streamNamesIn(buffer.data(), bytes);
            if (!names) {
                SetLastError(ERROR_INVALID_DATA);
            }
            return names;
        }
        switch (GetLastError()) {
            case ERROR_HANDLE_EOF:  // no streams at all
            case ERROR_INVALID_PARAMETER:
            case ERROR_INVALID_FUNCTION:  // a file system without streams
            case ERROR_NOT_SUPPORTED:
                return TextList();
            case ERROR_MORE_DATA:
            case ERROR_INSUFFICIENT_BUFFER:
                if (bytes >= kLargestBuffer) {
                    return std::nullopt;
                }
                buffer.resize(buffer.size() * 4);
                break;
            default:
                return std::nullopt;
        }
    }
}

}  // namespace fenrallo::win32
