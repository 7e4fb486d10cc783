// The copy to another volume is the program's own, in chunks: the platform's copy cannot be
// cancelled under Wine, and a stop must end a copy of any size within a second. What the
// platform's copy keeps is kept too: the data, the named streams (a downloaded file's
// Zone.Identifier), the attributes and the timestamps.
#include "platform/win32/FileMove.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::win32 {

namespace {

// A stop is seen after at most this much. Larger reads and writes are slower under Wine: a
// 1 MiB chunk made the copy five times slower than this one.
constexpr DWORD kChunk = 1 << 17;
// What FileBasicInfo can set; the others (compressed, sparse, encrypted...) only the file system.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

using File = UniqueHandle<HANDLE, CloseHandle>;

// CreateFileW's handle, or null.
HANDLE opened(HANDLE file)
{
    return file != INVALID_HANDLE_VALUE ? file : nullptr;
}

Text hex(unsigned number)
{
    Text digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[number % 16]);
        number /= 16;
    } while (number != 0);
    return digits;
}

bool setAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of zero are left as they are
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

// Deletes the file `file` is open on once the last handle to it closes. A read-only file cannot
// be deleted: its attribute is cleared first, and put back when the delete is refused.
bool deleteOnClose(HANDLE file, DWORD attributes)
{
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !setAttributes(file, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition)) {
        return true;
    }
    if (readOnly) {
        setAttributes(file, attributes);
    }
    return false;
}

bool copyData(HANDLE from, HANDLE to, std::vector<char>& buffer, std::uint64_t& copied,
              const KeepCopying& keepCopying)
{
    for (;;) {
        if (!keepCopying(copied)) {
            return false;
        }
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), kChunk, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr) || written != read) {
            return false;
        }
        copied += read;
    }
}

// The names of the file's named streams (":Zone.Identifier:$DATA"); none where the file system
// has no streams to tell of.
TextList namedStreams(HANDLE file)
{
    std::vector<std::uint64_t> buffer(512);
    for (;;) {
        const std::size_t bytes = buffer.size() * sizeof buffer[0];
        if (GetFileInformationByHandleEx(file, FileStreamInfo, buffer.data(),
                                         static_cast<DWORD>(bytes))) {
            break;
        }
        if (GetLastError() != ERROR_MORE_DATA || buffer.size() > (1U << 20)) {
            return {};
        }
        buffer.resize(buffer.size() * 4);
    }
    TextList names;
    const auto* at = reinterpret_cast<const std::byte*>(buffer.data());
    for (;;) {
        const auto* stream = reinterpret_cast<const FILE_STREAM_INFO*>(at);
        Text name(stream->StreamName, stream->StreamNameLength / sizeof(wchar_t));
        if (name != L"::$DATA") {
            names.push_back(std::move(name));
        }
        if (stream->NextEntryOffset == 0) {
            return names;
        }
        at += stream->NextEntryOffset;
    }
}

// A new file beside a destination, removed again unless it is kept.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const Text& destination)
    {
        static std::atomic<unsigned> serial{0};
        const Text folder = destination.substr(0, destination.rfind(L'\\') + 1);
        for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
            path_ = folder + kTemporaryPrefix + hex(GetCurrentProcessId()) + L'-' + hex(++serial) +
                    L".tmp";
            file_ = File(
                opened(CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE | FILE_WRITE_ATTRIBUTES, 0,
                                   nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
            if (!file_ && GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
        }
    }
    ~TemporaryCopy()
    {
        if (file_ && !kept_) {
            deleteOnClose(file_.get(), attributes_);
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    explicit operator bool() const { return static_cast<bool>(file_); }
    HANDLE handle() const { return file_.get(); }
    const Text& path() const { return path_; }

    // The source's times and attributes, and the data on the disk, before the copy takes a name.
    bool finish(FILE_BASIC_INFO basic)
    {
        basic.ChangeTime.QuadPart = 0;
        basic.FileAttributes &= kSettableAttributes;
        if (basic.FileAttributes == 0) {
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        if (!SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
            return false;
        }
        attributes_ = basic.FileAttributes;
        return FlushFileBuffers(file_.get()) != FALSE;
    }

    // Renames the copy itself, never replacing what is already there.
    bool renameTo(const Text& name)
    {
        const std::size_t bytes = name.size() * sizeof(wchar_t);
        const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + bytes + sizeof(wchar_t);
        std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
        rename->ReplaceIfExists = FALSE;
        rename->RootDirectory = nullptr;
        rename->FileNameLength = static_cast<DWORD>(bytes);
        name.copy(rename->FileName, name.size());
        return SetFileInformationByHandle(file_.get(), FileRenameInfo, rename,
                                          static_cast<DWORD>(size)) != FALSE;
    }

    void keep() { kept_ = true; }

private:
    Text path_;
    File file_;
    DWORD attributes_ = FILE_ATTRIBUTE_NORMAL;
    bool kept_ = false;
};

bool copyStreams(HANDLE source, const Text& from, TemporaryCopy& copy,
                 const KeepCopying& keepCopying)
{
    std::vector<char> buffer(kChunk);
    std::uint64_t copied = 0;
    if (!copyData(source, copy.handle(), buffer, copied, keepCopying)) {
        return false;
    }
    const TextList streams = namedStreams(source);
    DWORD features = 0;
    // Where the destination keeps no streams they are left behind, as the platform's copy does.
    if (streams.empty() ||
        !GetVolumeInformationByHandleW(copy.handle(), nullptr, 0, nullptr, nullptr, &features,
                                       nullptr, 0) ||
        (features & FILE_NAMED_STREAMS) == 0) {
        return true;
    }
    for (const Text& stream : streams) {
        // The source is held, so these open streams of the very file being copied.
        const File in(opened(CreateFileW((from + stream).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        const File out(opened(CreateFileW((copy.path() + stream).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!in || !out || !copyData(in.get(), out.get(), buffer, copied, keepCopying)) {
            return false;
        }
    }
    return true;
}

bool copyAcrossVolumes(const Text& from, const Text& to, const KeepCopying& keepCopying)
{
    // Held until it is deleted. Sharing only reading keeps other programs from writing, renaming
    // or deleting it meanwhile, and a program that has it open for writing keeps it from opening.
    // A link is not followed: what would be copied is not what the user listed.
    const File source(opened(CreateFileW(
        from.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    FILE_BASIC_INFO basic{};
    if (!source ||
        !GetFileInformationByHandleEx(source.get(), FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        return false;
    }
    TemporaryCopy copy(to);
    if (!copy || !copyStreams(source.get(), from, copy, keepCopying) || !copy.finish(basic) ||
        !copy.renameTo(to) || !deleteOnClose(source.get(), basic.FileAttributes)) {
        return false;
    }
    copy.keep();
    return true;
}

}  // namespace

bool moveWithoutReplace(const Text& from, const Text& to, const KeepCopying& keepCopying)
{
    const Text source = extendedLengthPath(from);
    const Text destination = extendedLengthPath(to);
    // One rename, and nothing after it: the platform keeps it from replacing anything.
    if (MoveFileExW(source.c_str(), destination.c_str(), 0)) {
        return true;
    }
    return GetLastError() == ERROR_NOT_SAME_DEVICE &&
           copyAcrossVolumes(source, destination, keepCopying);
}

}  // namespace fenrallo::win32
