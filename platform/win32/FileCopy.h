// The copy of a file to another volume, which a move makes where no rename can. It is the
// program's own, in chunks: the platform's copy cannot be cancelled under Wine, and a stop must
// end a copy of any size within a second. It keeps what the platform's copy keeps: the data, the
// named streams (a downloaded file's Zone.Identifier), the encryption, the attributes and times.
// The copy is written under a temporary name beside its destination, marked for deletion until
// its data is on the disk, renamed into place never replacing anything, and the source, held open
// throughout, is deleted only once the new name is on the disk too.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/Callback.h"
#include "platform/PlatformServices.h"
#include "platform/Text.h"
#include "platform/win32/DeletionMarks.h"
#include "platform/win32/FileHandles.h"

namespace fenrallo::win32 {

// The steps of a copy to another volume, in their order.
enum class CopyStep {
    Open,          // the source, through its filter where it has one, and its streams listed
    Create,        // the temporary copy, marked for deletion
    Reserve,       // the source's size at the destination
    Data,          // before each chunk
    Flush,         // the data on the disk, the copy still marked
    Streams,       // before the named streams, and before each of their chunks
    Attributes,    // and times
    Unmark,        // the copy is whole: a kill from here on leaves it
    Rename,        // into place, never replacing
    FlushName,     // the new name on the disk
    DeleteSource,  // through the handle held since Open
};

// Asked before each step with the bytes copied so far; false fails that step (ERROR_CANCELLED),
// after which the copy is removed and the source left whole. A stop ends a copy this way within
// one chunk.
using CopyGate = Callback<bool(CopyStep step, std::uint64_t copied)>;

// What one worker keeps from one copy to the next, batch after batch: the one buffer all data goes
// through (allocating it cost Wine more than anything else in a small file's copy), and what each
// folder's volume was found to take, asked once (every entry of a folder is on its volume).
class CopyState {
public:
    struct Volume {
        Taken createdMarked = Taken::Unknown;
        Taken posixDelete = Taken::Unknown;
        // GetVolumeInformationByHandleW's flags, asked only where there are streams to carry.
        std::optional<DWORD> features;
        FolderVolume identities;
    };
    Volume& volumeOf(const Text& folder) { return volumes_[folder]; }
    std::vector<char>& buffer();

    // The platform's calls unless a test gives others.
    const FileCalls* calls = &platformCalls();

private:
    std::map<Text, Volume> volumes_;
    std::vector<char> buffer_;
};

// Copies the file at `from` to `to` on another volume and deletes it at `from`: moved, with the
// copy's identity, or not moved and why (the failing call's error, kReasonFolderToOtherVolume,
// ERROR_CANCELLED for a step the gate refused). With `expected`, only the file of that identity
// moves: the one checked is the one held, before anything is created.
MoveOutcome copyAcrossVolumes(const Text& from, const Text& to, const CopyGate& gate,
                              const FileIdentity* expected, CopyState& state);

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

// The paths a copy to another volume works with, all in the \\?\ form so that the temporary
// name and the streams' names, longer than the entry's own, work on every Windows. Nothing when
// a full path cannot be made, GetLastError saying why.
struct CopyPaths {
    Text source;
    Text destination;
    // Beside the destination; a new name on every call.
    Text temporary;
};
std::optional<CopyPaths> copyPaths(const Text& from, const Text& to);

// Up to its last backslash, which it keeps.
Text folderOf(const Text& path);

// Names of temporary copies start with this; they end in ".tmp".
inline constexpr wchar_t kTemporaryPrefix[] = L"~fenrallo-";

}  // namespace fenrallo::win32
