#include "platform/win32/VolumeRename.h"

#include <string_view>

#include "platform/win32/FileHandles.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::win32 {

namespace {

// The full path with backslashes only and without a \\?\ prefix; the path as it is where it
// cannot be made full.
Text resolved(const Text& path)
{
    const Text full = fullPathName(path).value_or(path);
    // Forward slashes are backslashes now, except in a prefixed path, which is taken as it is:
    // there a slash is part of a name, which no file system allows.
    const std::wstring_view unc = L"\\\\?\\UNC\\";
    const std::wstring_view local = L"\\\\?\\";
    if (full.starts_with(unc)) {
        return L"\\\\" + full.substr(unc.size());
    }
    return full.starts_with(local) ? full.substr(local.size()) : full;
}

}  // namespace

bool samePlace(const Text& one, const Text& other)
{
    const Text a = resolved(one);
    const Text b = resolved(other);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

MoveOutcome renameOnVolume(const Text& from, const Text& to, const CopyGate& gate,
                           const FileIdentity* expected, CopyState& state)
{
    // Shared with everyone, as a rename by path would be: a program that keeps the entry open
    // without sharing its deletion still keeps it from moving. The entry itself is opened, never
    // what a link leads to, and a folder opens only with backup semantics.
    const File held(opened(
        CreateFileW(extendedLengthPath(from).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
    if (!held) {
        return {false, GetLastError(), {}};
    }
    if (expected != nullptr) {
        const std::optional<FileIdentity> identity =
            fileIdentity(held.get(), state.volumeOf(folderOf(from)).identities);
        if (!identity || *identity != *expected) {
            return {false, kReasonNotTheFileMoved, {}};
        }
        if (!gate(CopyStep::Rename, 0)) {
            return {false, ERROR_CANCELLED, {}};
        }
    }
    if (!renameWithoutReplace(held.get(), extendedPath(to))) {
        return {false, GetLastError(), {}};
    }
    // Read at the new name: on FAT a file's ID follows its directory entry, so only this one is
    // what the undo will find there. A file whose identity cannot be read still moves; the undo
    // will not take it back.
    const std::optional<FileIdentity> identity =
        fileIdentity(held.get(), state.volumeOf(folderOf(to)).identities);
    return {true, 0, identity.value_or(FileIdentity{})};
}

}  // namespace fenrallo::win32
