// What the moves do to a file through a handle held open on it rather than by its path, which
// another program may point at another file at any moment: delete it, set its attributes, tell
// whether two handles are open on one file.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/PlatformServices.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

using File = UniqueHandle<HANDLE, CloseHandle>;

// CreateFileW's handle, or null.
inline HANDLE opened(HANDLE file)
{
    return file != INVALID_HANDLE_VALUE ? file : nullptr;
}

// The attributes alone; the times stay as they are.
bool setAttributes(HANDLE file, DWORD attributes);

// Whether the file goes once the last handle to it closes, also when the process is killed.
bool setDeletion(HANDLE file, bool deleted);

// Deletes the file once the last handle to it closes, clearing a read-only attribute first
// (`attributes` are the file's own) and putting it back when the delete is refused.
bool deleteOnClose(HANDLE file, DWORD attributes);

// Renames the file itself to `path` (a full path), never replacing what is already there.
bool renameWithoutReplace(HANDLE file, const Text& path);

// The file's identity: the 128-bit ID where the file system gives one (ReFS's 64-bit index is not
// unique), else the 64-bit index. Nothing where neither can be read.
std::optional<FileIdentity> fileIdentity(HANDLE file);

// Both handles are open on one file of one volume.
bool sameFile(HANDLE one, HANDLE other);

}  // namespace fenrallo::win32
