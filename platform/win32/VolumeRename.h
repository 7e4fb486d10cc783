// A move within one volume: the entry is opened once and renamed through that handle, so the
// file whose identity is read (and, for the undo, checked) is the file that moves, whatever
// another program does to its path meanwhile (on Windows: Wine renames by the path the handle
// was opened with). A destination that names the entry itself is found
// from the two paths alone, before anything touches the disk.
#pragma once

#include "platform/PlatformServices.h"
#include "platform/win32/FileMove.h"

namespace fenrallo::win32 {

// Both paths name the same place as Windows resolves them: made full (".", "..", doubled and
// forward separators, trailing dots and spaces; a \\?\ prefix dropped) and compared ignoring case,
// as the file system compares names. Reads no file; another spelling of one file (a subst drive, a
// hard link's other name, a share) is not seen here.
bool samePlace(const Text& one, const Text& other);

// The rename through a handle, never replacing anything; not moved with ERROR_NOT_SAME_DEVICE
// where the destination is on another volume. With `expected`, only the file of that identity
// moves (else kReasonNotTheFileMoved), and `gate` is asked (CopyStep::Rename) between the check
// and the rename. `state` remembers what each folder's volume says of its files' identities.
MoveOutcome renameOnVolume(const Text& from, const Text& to, const CopyGate& gate,
                           const FileIdentity* expected, CopyState& state);

}  // namespace fenrallo::win32
