// The copy to another volume is the program's own, in chunks: the platform's copy cannot be
// cancelled under Wine, and a stop must end a copy of any size within a second. What the
// platform's copy keeps is kept too: the data, the named streams (a downloaded file's
// Zone.Identifier), the encryption, the attributes and the timestamps.
#include "platform/win32/FileMove.h"

#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/win32/FileHandles.h"
#include "platform/win32/FileStreams.h"
#include "platform/win32/VolumeRename.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::win32 {

namespace {

// A stop is seen after at most this much. Larger reads and writes are slower under Wine: a
// 1 MiB chunk made the copy five times slower than this one.
constexpr DWORD kChunk = 1 << 17;
// What FileBasicInfo can set; the others (compressed, sparse, encrypted...) only the file system.
// Offline is not among them either: it says the data is elsewhere, never true of a new copy.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

Text hex(unsigned number)
{
    Text digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[number % 16]);
        number /= 16;
    } while (number != 0);
    return digits;
}

// Up to its last backslash, which it keeps.
Text folderOf(const Text& path)
{
    return path.substr(0, path.rfind(L'\\') + 1);
}

Text temporaryBeside(const Text& destination)
{
    static std::atomic<unsigned> serial{0};
    return folderOf(destination) + kTemporaryPrefix + hex(GetCurrentProcessId()) + L'-' +
           hex(++serial) + L".tmp";
}

bool copyData(HANDLE from, HANDLE to, std::vector<char>& buffer, CopyStep step,
              std::uint64_t& copied, const CopyGate& gate)
{
    for (;;) {
        if (!gate(step, copied)) {
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

// The entry being moved, held from before the copy until it is deleted through `held`.
struct Source {
    File held;
    // Where a filter supplies the data, a second handle through it.
    File filtered;
    FILE_BASIC_INFO basic{};
    CopyPlan plan{};
    LARGE_INTEGER size{};

    HANDLE data() const { return filtered ? filtered.get() : held.get(); }
};

bool openSource(const Text& path, Source& source)
{
    // Sharing only reading keeps other programs from writing, renaming or deleting it meanwhile,
    // and a program that has it open for writing keeps it from opening. Opened as the entry
    // itself, not what a reparse point leads to, so that a link is never followed.
    source.held = File(opened(CreateFileW(
        path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!source.held ||
        !GetFileInformationByHandleEx(source.held.get(), FileBasicInfo, &source.basic,
                                      sizeof source.basic) ||
        ((source.basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         !GetFileInformationByHandleEx(source.held.get(), FileAttributeTagInfo, &tag,
                                       sizeof tag))) {
        return false;
    }
    source.plan = planCopy(source.basic.FileAttributes, tag.ReparseTag);
    if (source.plan.refused) {
        return false;
    }
    if (source.plan.throughFilter) {
        // The path may name another file by now: only the one held will do.
        source.filtered =
            File(opened(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        if (!source.filtered || !sameFile(source.held.get(), source.filtered.get())) {
            return false;
        }
    }
    return GetFileSizeEx(source.data(), &source.size) != FALSE;
}

// A new file beside a destination, marked for deletion from the moment it exists until it is
// whole, and removed again unless it is kept.
class TemporaryCopy {
public:
    TemporaryCopy(const CopyPaths& paths, DWORD attributes) : path_(paths.temporary)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            file_ = File(
                opened(CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, 0,
                                   nullptr, CREATE_NEW, attributes, nullptr)));
            if (file_ || GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
            path_ = temporaryBeside(paths.destination);
        }
        marked_ = file_ && setDeletion(file_.get(), true);
    }
    ~TemporaryCopy()
    {
        if (file_ && !kept_) {
            deleteOnClose(file_.get(), attributes_);
        }
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // Made, and marked.
    explicit operator bool() const { return marked_; }
    HANDLE handle() const { return file_.get(); }
    const Text& path() const { return path_; }

    bool encrypted() const
    {
        FILE_BASIC_INFO basic{};
        return GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic) &&
               (basic.FileAttributes & FILE_ATTRIBUTE_ENCRYPTED) != 0;
    }

    // Room for `size` bytes, so that a full volume or a file too large for FAT32 fails before
    // anything is written. A file system that cannot reserve is written to all the same.
    bool reserve(LARGE_INTEGER size)
    {
        FILE_ALLOCATION_INFO allocation{size};
        if (size.QuadPart == 0 || SetFileInformationByHandle(file_.get(), FileAllocationInfo,
                                                             &allocation, sizeof allocation)) {
            return true;
        }
        return reservationUnsupported(GetLastError());
    }

    // Whole now: from here on the copy stays when the process ends. Named streams cannot be
    // opened on a file that is to be deleted, so this comes before them.
    bool unmark() { return setDeletion(file_.get(), false); }

    // The source's times and attributes.
    bool takeOver(FILE_BASIC_INFO basic, DWORD attributes)
    {
        basic.ChangeTime.QuadPart = 0;
        basic.FileAttributes = attributes;
        if (!SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
            return false;
        }
        attributes_ = attributes;
        return true;
    }

    // Flushed after the rename too, which puts the new name on the disk (FAT included): only
    // then may the source on the other volume go.
    bool flush() { return FlushFileBuffers(file_.get()) != FALSE; }

    bool renameTo(const Text& name) { return renameWithoutReplace(file_.get(), name); }

    void keep() { kept_ = true; }

private:
    Text path_;
    File file_;
    DWORD attributes_ = FILE_ATTRIBUTE_NORMAL;
    bool marked_ = false;
    bool kept_ = false;
};

bool copyStreams(const Source& source, const Text& from, const TemporaryCopy& copy,
                 std::vector<char>& buffer, const CopyGate& gate)
{
    const std::optional<TextList> streams = namedStreams(source.data());
    if (!streams) {
        return false;
    }
    if (streams->empty()) {
        return true;
    }
    DWORD features = 0;
    if (!GetVolumeInformationByHandleW(copy.handle(), nullptr, 0, nullptr, nullptr, &features,
                                       nullptr, 0)) {
        return false;
    }
    // Where the destination keeps no streams they are left behind, as the platform's copy does.
    if ((features & FILE_NAMED_STREAMS) == 0) {
        return true;
    }
    for (const Text& stream : *streams) {
        // Opened by name, so checked to be a stream of the very file held.
        const File in(opened(CreateFileW((from + stream).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        const File out(
            opened(CreateFileW((copy.path() + stream).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        std::uint64_t copied = 0;
        if (!in || !out || !sameFile(in.get(), source.held.get()) ||
            !copyData(in.get(), out.get(), buffer, CopyStep::Streams, copied, gate)) {
            return false;
        }
    }
    return true;
}

// A name taken already fails the copy before it starts rather than after it; the rename, which
// never replaces anything, stays the guarantee.
bool nameIsFree(const Text& path)
{
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetLastError() == ERROR_FILE_NOT_FOUND;
}

// With `expected`, only the file of that identity is copied: the one checked is the one held.
bool copyAcrossVolumes(const CopyPaths& paths, const CopyGate& gate, const FileIdentity* expected,
                       FileIdentity& copied)
{
    Source source;
    if (!gate(CopyStep::Open, 0) || !nameIsFree(paths.destination) ||
        !openSource(paths.source, source)) {
        return false;
    }
    if (expected != nullptr && fileIdentity(source.held.get()) != *expected) {
        SetLastError(kReasonNotTheFileMoved);
        return false;
    }
    if (!gate(CopyStep::Create, 0)) {
        return false;
    }
    TemporaryCopy copy(paths, source.plan.createAttributes);
    // An encrypted file is never written out in the clear.
    if (!copy || (source.plan.createAttributes == FILE_ATTRIBUTE_ENCRYPTED && !copy.encrypted()) ||
        !gate(CopyStep::Reserve, 0) || !copy.reserve(source.size)) {
        return false;
    }
    std::vector<char> buffer(kChunk);
    std::uint64_t bytes = 0;
    if (!copyData(source.data(), copy.handle(), buffer, CopyStep::Data, bytes, gate) ||
        bytes != static_cast<std::uint64_t>(source.size.QuadPart)) {
        return false;
    }
    const bool whole = gate(CopyStep::Unmark, bytes) && copy.unmark() &&
                       gate(CopyStep::Streams, bytes) &&
                       copyStreams(source, paths.source, copy, buffer, gate) &&
                       gate(CopyStep::Attributes, bytes) &&
                       copy.takeOver(source.basic, source.plan.keptAttributes) &&
                       gate(CopyStep::Flush, bytes) && copy.flush();
    if (!whole || !gate(CopyStep::Rename, bytes) || !copy.renameTo(paths.destination) ||
        !gate(CopyStep::FlushName, bytes) || !copy.flush()) {
        return false;
    }
    const std::optional<FileIdentity> identity = fileIdentity(copy.handle());
    if (!identity || !gate(CopyStep::DeleteSource, bytes) ||
        !deleteOnClose(source.held.get(), source.basic.FileAttributes)) {
        return false;
    }
    copied = *identity;
    copy.keep();
    return true;
}

}  // namespace

CopyPlan planCopy(DWORD attributes, DWORD reparseTag)
{
    const bool reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const DWORD encrypted = attributes & FILE_ATTRIBUTE_ENCRYPTED;
    const DWORD kept = attributes & kSettableAttributes;
    return {(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
                (reparsePoint && IsReparseTagNameSurrogate(reparseTag) != 0),
            reparsePoint, encrypted != 0 ? encrypted : FILE_ATTRIBUTE_NORMAL,
            kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL};
}

bool reservationUnsupported(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED || error == ERROR_CALL_NOT_IMPLEMENTED;
}

CopyPaths copyPaths(const Text& from, const Text& to)
{
    CopyPaths paths{extendedPath(from), extendedPath(to), Text()};
    paths.temporary = temporaryBeside(paths.destination);
    return paths;
}

bool VolumeCrossings::known(const Text& from, const Text& to) const
{
    return !sourceFolder_.empty() && folderOf(from) == sourceFolder_ &&
           folderOf(to) == destinationFolder_;
}

void VolumeCrossings::remember(const Text& from, const Text& to)
{
    sourceFolder_ = folderOf(from);
    destinationFolder_ = folderOf(to);
}

MoveOutcome moveWithoutReplace(const Text& from, const Text& to, const CopyGate& gate,
                               VolumeCrossings* crossings, const FileIdentity* expected)
{
    // MoveFileExW would report a move onto itself as done: nothing moved, yet it would count.
    if (samePlace(from, to)) {
        return {false, kReasonMovedOntoItself, {}};
    }
    if (crossings == nullptr || !crossings->known(from, to)) {
        const MoveOutcome renamed = renameOnVolume(from, to, gate, expected);
        const bool crossing =
            renamed.reason == ERROR_NOT_SAME_DEVICE || renamed.reason == kReasonFolderToOtherVolume;
        if (crossing && crossings != nullptr) {
            crossings->remember(from, to);
        }
        if (!crossing || renamed.reason == kReasonFolderToOtherVolume) {
            return renamed;
        }
    }
    MoveOutcome outcome{};
    outcome.moved = copyAcrossVolumes(copyPaths(from, to), gate, expected, outcome.identity);
    outcome.reason = outcome.moved ? 0 : GetLastError();
    // The copy refuses a folder without an error of the system's to say why.
    const DWORD attributes =
        outcome.moved ? 0 : GetFileAttributesW(extendedLengthPath(from).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        outcome.reason = kReasonFolderToOtherVolume;
    }
    return outcome;
}

}  // namespace fenrallo::win32
