// Every step reports the error of the call that failed, read at once: what cleans up afterwards
// (closing and deleting the copy, putting an attribute back) makes calls of its own. The copy's
// own file is a TemporaryCopy; the marks it and the source carry are DeletionMarks'.
#include "platform/win32/FileCopy.h"

#include "platform/win32/FileStreams.h"
#include "platform/win32/TemporaryCopy.h"
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

// The first failure of a chain of steps, each giving 0 or its error.
class FirstFailure {
public:
    bool operator()(DWORD error)
    {
        reason_ = error;
        return error == 0;
    }
    MoveOutcome outcome() const { return {false, reason_, {}}; }

private:
    DWORD reason_ = 0;
};

DWORD copyData(HANDLE from, HANDLE to, std::vector<char>& buffer, CopyStep step,
               std::uint64_t& copied, const CopyGate& gate)
{
    for (;;) {
        DWORD read = 0;
        if (!gate(step, copied)) {
            return ERROR_CANCELLED;
        }
        if (!ReadFile(from, buffer.data(), kChunk, &read, nullptr)) {
            return GetLastError();
        }
        if (read == 0) {
            return 0;
        }
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr)) {
            return GetLastError();
        }
        if (written != read) {
            return ERROR_WRITE_FAULT;
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
    TextList streams;

    HANDLE data() const { return filtered ? filtered.get() : held.get(); }
};

DWORD openSource(const Text& path, Source& source)
{
    // Sharing only reading keeps other programs from writing, renaming or deleting it meanwhile,
    // and a program that has it open for writing keeps it from opening. Opened as the entry
    // itself, not what a reparse point leads to, so that a link is never followed.
    source.held = File(opened(CreateFileW(
        path.c_str(), GENERIC_READ | DELETE | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
    if (!source.held) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? kReasonFolderToOtherVolume
                   : error;
    }
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(source.held.get(), FileBasicInfo, &source.basic,
                                      sizeof source.basic) ||
        ((source.basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         !GetFileInformationByHandleEx(source.held.get(), FileAttributeTagInfo, &tag,
                                       sizeof tag))) {
        return GetLastError();
    }
    source.plan = planCopy(source.basic.FileAttributes, tag.ReparseTag);
    if (source.plan.refused) {
        return (source.basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? kReasonFolderToOtherVolume
                   : ERROR_NOT_SAME_DEVICE;
    }
    if (source.plan.throughFilter) {
        // The path may name another file by now: only the one held will do.
        source.filtered =
            File(opened(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        if (!source.filtered) {
            return GetLastError();
        }
        if (!sameFile(source.held.get(), source.filtered.get())) {
            return ERROR_FILE_INVALID;
        }
    }
    if (!GetFileSizeEx(source.data(), &source.size)) {
        return GetLastError();
    }
    // Listed now, so that a listing that fails fails the move before anything is written.
    std::optional<TextList> streams = namedStreams(source.data());
    if (!streams) {
        return GetLastError();
    }
    source.streams = std::move(*streams);
    return 0;
}

DWORD copyStreams(const Source& source, const Text& from, const TemporaryCopy& copy,
                  CopyState& state, const CopyGate& gate)
{
    if (source.streams.empty()) {
        return 0;
    }
    std::optional<DWORD>& features = copy.volume().features;
    if (!features) {
        DWORD flags = 0;
        if (!GetVolumeInformationByHandleW(copy.handle(), nullptr, 0, nullptr, nullptr, &flags,
                                           nullptr, 0)) {
            return GetLastError();
        }
        features = flags;
    }
    // Where the destination keeps no streams they are left behind, as the platform's copy does.
    if ((*features & FILE_NAMED_STREAMS) == 0) {
        return 0;
    }
    for (const Text& stream : source.streams) {
        // Opened by name, so checked to be a stream of the very file held.
        const File in(opened(CreateFileW((from + stream).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
        if (!in) {
            return GetLastError();
        }
        const File out(
            opened(CreateFileW((copy.path() + stream).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
        if (!out) {
            return GetLastError();
        }
        if (!sameFile(in.get(), source.held.get())) {
            return ERROR_FILE_INVALID;
        }
        std::uint64_t copied = 0;
        if (const DWORD error =
                copyData(in.get(), out.get(), state.buffer(), CopyStep::Streams, copied, gate)) {
            return error;
        }
        if (!state.calls->flush(out.get())) {
            return GetLastError();
        }
    }
    return 0;
}

// A name taken already fails the copy before it starts rather than after it; the rename, which
// never replaces anything, stays the guarantee.
DWORD nameFree(const Text& path)
{
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return ERROR_ALREADY_EXISTS;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? 0 : error;
}

}  // namespace

std::vector<char>& CopyState::buffer()
{
    buffer_.resize(kChunk);
    return buffer_;
}

MoveOutcome copyAcrossVolumes(const Text& from, const Text& to, const CopyGate& gate,
                              const FileIdentity* expected, CopyState& state)
{
    FirstFailure ok;
    const std::optional<CopyPaths> paths = copyPaths(from, to);
    if (!ok(paths ? 0 : GetLastError())) {
        return ok.outcome();
    }
    const auto step = [&gate](CopyStep next, std::uint64_t copied) -> DWORD {
        return gate(next, copied) ? 0 : ERROR_CANCELLED;
    };
    Source source;
    if (!(ok(step(CopyStep::Open, 0)) && ok(nameFree(paths->destination)) &&
          ok(openSource(paths->source, source)))) {
        return ok.outcome();
    }
    if (expected != nullptr && fileIdentity(source.held.get()) != *expected) {
        ok(kReasonNotTheFileMoved);
        return ok.outcome();
    }
    if (!ok(step(CopyStep::Create, 0))) {
        return ok.outcome();
    }
    TemporaryCopy copy(*paths, source.plan.createAttributes, state);
    const auto size = static_cast<std::uint64_t>(source.size.QuadPart);
    std::uint64_t bytes = 0;
    // The mark goes right before the rename, which must not take it along: where it is a pending
    // deletion rather than a file created marked, streams cannot be opened with it, and then it
    // goes before them (Windows 7 and 8.1 on NTFS; no other volume without the newer call keeps
    // streams).
    const bool unmarkFirst = !source.streams.empty() && !copy.createdMarked();
    const auto unmark = [&] { return ok(step(CopyStep::Unmark, bytes)) && ok(copy.unmark()); };
    if (!(ok(copy.made()) && ok(copy.encryptedAs(source.plan.createAttributes)) &&
          ok(step(CopyStep::Reserve, 0)) && ok(copy.reserve(source.size)) &&
          ok(copyData(source.data(), copy.handle(), state.buffer(), CopyStep::Data, bytes, gate)) &&
          ok(bytes == size ? 0 : ERROR_FILE_INVALID) && ok(step(CopyStep::Flush, bytes)) &&
          ok(copy.flush()) && (!unmarkFirst || unmark()) && ok(step(CopyStep::Streams, bytes)) &&
          ok(copyStreams(source, paths->source, copy, state, gate)) &&
          ok(step(CopyStep::Attributes, bytes)) &&
          ok(copy.takeOver(source.basic, source.plan.keptAttributes)) &&
          (unmarkFirst || unmark()) && ok(step(CopyStep::Rename, bytes)) &&
          ok(copy.renameTo(paths->destination)) && ok(step(CopyStep::FlushName, bytes)) &&
          ok(copy.flush()))) {
        return ok.outcome();
    }
    const std::optional<FileIdentity> identity =
        fileIdentity(copy.handle(), state.volumeOf(folderOf(paths->destination)).identities);
    if (!(ok(identity ? 0 : GetLastError()) && ok(step(CopyStep::DeleteSource, bytes)) &&
          ok(markDeleted(*state.calls, state.volumeOf(folderOf(paths->source)).posixDelete,
                         source.held.get(), source.basic.FileAttributes)))) {
        return ok.outcome();
    }
    copy.keep();
    return {true, 0, *identity};
}

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

std::optional<CopyPaths> copyPaths(const Text& from, const Text& to)
{
    CopyPaths paths{extendedPath(from), Text(), Text()};
    if (paths.source.empty()) {
        return std::nullopt;
    }
    paths.destination = extendedPath(to);
    if (paths.destination.empty()) {
        return std::nullopt;
    }
    paths.temporary = temporaryBeside(paths.destination);
    return paths;
}

Text folderOf(const Text& path)
{
    return path.substr(0, path.rfind(L'\\') + 1);
}

}  // namespace fenrallo::win32
