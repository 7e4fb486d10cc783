// Moving one file or folder without ever replacing anything. Within a volume a move is one
// rename. To another volume a file is copied under a temporary name beside its destination and
// renamed into place only when whole and on the disk, and the source is deleted only then; the
// source is held open throughout, so the file copied and the file deleted are the same file. An
// entry ends up in exactly one of its two places. The temporary copy is marked for deletion
// while its data is written, so a process ended then leaves nothing behind it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/Callback.h"
#include "platform/PlatformServices.h"
#include "platform/Text.h"

namespace fenrallo::win32 {

// The steps of a copy to another volume, in their order.
enum class CopyStep {
    Open,          // the source, through its filter where it has one
    Create,        // the temporary copy, marked for deletion
    Reserve,       // the source's size at the destination
    Data,          // before each chunk
    Unmark,        // the copy is whole: a kill from here on leaves it
    Streams,       // before the named streams, and before each of their chunks
    Attributes,    // and times
    Flush,         // the data on the disk
    Rename,        // into place, never replacing
    FlushName,     // the new name on the disk
    DeleteSource,  // through the handle held since Open
};

// Asked before each step with the bytes copied so far; false fails that step, after which the
// copy is removed and the source left whole. A stop ends a copy this way within one chunk.
using CopyGate = Callback<bool(CopyStep step, std::uint64_t copied)>;

// The folders of the last entry whose rename the platform refused as a crossing to another
// volume. Every entry of a folder lies on that folder's volume, so the next ones from there into
// the same folder go straight to the copy: under Wine a refused rename costs a sixth of the copy
// of a small file. Only a volume mounted elsewhere meanwhile could make such a rename work, and
// the copy then moves the file all the same. Kept by one thread, batch after batch.
class VolumeCrossings {
public:
    bool known(const Text& from, const Text& to) const;
    void remember(const Text& from, const Text& to);

private:
    Text sourceFolder_;
    Text destinationFolder_;
};

// Moved, and then the entry is at `to` only, with the identity of the file there; or not moved,
// and why. Folders move only within a volume. With `expected`, only the file of that identity
// moves: the undo's guard against a file put under the name since.
MoveOutcome moveWithoutReplace(const Text& from, const Text& to, const CopyGate& gate,
                               VolumeCrossings* crossings = nullptr,
                               const FileIdentity* expected = nullptr);

// What a copy to another volume makes of a source with these attributes and reparse tag.
struct CopyPlan {
    // Links, junctions and mount points name something other than what the user listed, and
    // folders move only within a volume.
    bool refused;
    // A placeholder or other reparse point that is not a link: its filter supplies the data.
    bool throughFilter;
    // FILE_ATTRIBUTE_ENCRYPTED for an encrypted source, which the copy must be too.
    DWORD createAttributes;
    // The attributes the finished copy takes over.
    DWORD keptAttributes;
};
CopyPlan planCopy(DWORD attributes, DWORD reparseTag);

// An error with which a file system refuses to reserve room for a file because it cannot (Wine
// cannot either): the copy goes on without. Any other refusal, a full volume or FAT32's 4 GiB
// limit, fails the copy before it writes anything.
bool reservationUnsupported(DWORD error);

// The paths a copy to another volume works with, all in the \\?\ form so that the temporary
// name and the streams' names, longer than the entry's own, work on every Windows.
struct CopyPaths {
    Text source;
    Text destination;
    // Beside the destination; a new name on every call.
    Text temporary;
};
CopyPaths copyPaths(const Text& from, const Text& to);

// Names of temporary copies start with this; they end in ".tmp".
inline constexpr wchar_t kTemporaryPrefix[] = L"~fenrallo-";

}  // namespace fenrallo::win32
