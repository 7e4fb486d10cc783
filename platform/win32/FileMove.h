// Moving one file or folder without ever replacing anything. Within a volume a move is one
// rename. To another volume a file is copied under a temporary name beside its destination and
// renamed into place only when whole and on the disk, and the source is deleted only then; the
// source is held open throughout, so the file copied and the file deleted are the same file. An
// entry ends up in exactly one of its two places. The temporary copy is marked for deletion
// until its data is on the disk, so a process ended before then leaves nothing behind it.
#pragma once

#include "platform/PlatformServices.h"
#include "platform/Text.h"
#include "platform/win32/FileCopy.h"

namespace fenrallo::win32 {

// The folders of the last entry whose rename the platform refused as a crossing to another
// volume. Every entry of a folder lies on that folder's volume, so the next ones from there into
// the same folder go straight to the copy: under Wine a refused rename costs a sixth of the copy
// of a small file. Only a volume mounted elsewhere meanwhile could make such a rename work, and
// the copy then moves the file all the same. Kept by one thread, batch after batch, with what
// its copies keep from one to the next.
class VolumeCrossings {
public:
    bool known(const Text& from, const Text& to) const;
    void remember(const Text& from, const Text& to);
    CopyState& copyState() { return copyState_; }

private:
    Text sourceFolder_;
    Text destinationFolder_;
    CopyState copyState_;
};

// Moved, and then the entry is at `to` only, with the identity of the file there; or not moved,
// and why. Folders move only within a volume. With `expected`, only the file of that identity
// moves: the undo's guard against a file put under the name since.
MoveOutcome moveWithoutReplace(const Text& from, const Text& to, const CopyGate& gate,
                               VolumeCrossings* crossings = nullptr,
                               const FileIdentity* expected = nullptr);

}  // namespace fenrallo::win32
