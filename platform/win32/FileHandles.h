// What the moves do to a file through a handle held open on it rather than by its path, which
// another program may point at another file at any moment: set its attributes, rename it, tell
// which file it is and whether two handles are open on one file.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/PlatformServices.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

using File = UniqueHandle<HANDLE, CloseHandle>;

// 0 when a call returning a BOOL succeeded, else the error it left.
inline DWORD errorUnless(BOOL done)
{
    return done ? 0 : GetLastError();
}

// CreateFileW's handle, or null.
inline HANDLE opened(HANDLE file)
{
    return file != INVALID_HANDLE_VALUE ? file : nullptr;
}

// The attributes alone; the times stay as they are.
bool setAttributes(HANDLE file, DWORD attributes);

// Renames the file itself to `path` (a full path), never replacing what is already there.
bool renameWithoutReplace(HANDLE file, const Text& path);

// The file's identity: the 128-bit ID where the file system gives one (ReFS's 64-bit index is not
// unique), else the 64-bit index. Nothing where neither can be read.
std::optional<FileIdentity> fileIdentity(HANDLE file);

// What the identities of the files in one folder share, asked of its volume once: under Wine every
// query that names the volume's serial number is a round trip to another process, a third of a
// millisecond a file. Forgotten after a second unused, so a volume swapped under the same drive
// letter between two batches is asked anew.
struct FolderVolume {
    std::uint64_t serial = 0;
    // ReFS (or a volume that would not say what it is): only the 128-bit ID tells files apart.
    bool wideIds = true;
    ULONGLONG lastUsed = 0;
};

// fileIdentity for a file in the folder `volume` describes, the same value it would give: after
// the folder's first file, only the file's own 64-bit index is asked where that is unique.
std::optional<FileIdentity> fileIdentity(HANDLE file, FolderVolume& volume);

// Both handles are open on one file of one volume.
bool sameFile(HANDLE one, HANDLE other);

}  // namespace fenrallo::win32
