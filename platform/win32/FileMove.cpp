// A move tries the one rename first and copies only where the platform says it crosses volumes.
#include "platform/win32/FileMove.h"

#include "platform/win32/VolumeRename.h"
#include "platform/win32/Win32PlatformServices.h"

namespace fenrallo::win32 {

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
    CopyState unkept;
    CopyState& state = crossings != nullptr ? crossings->copyState() : unkept;
    if (crossings == nullptr || !crossings->known(from, to)) {
        const MoveOutcome renamed = renameOnVolume(from, to, gate, expected, state);
        const bool crossing =
            renamed.reason == ERROR_NOT_SAME_DEVICE || renamed.reason == kReasonFolderToOtherVolume;
        if (crossing && crossings != nullptr) {
            crossings->remember(from, to);
        }
        if (!crossing || renamed.reason == kReasonFolderToOtherVolume) {
            return renamed;
        }
    }
    return copyAcrossVolumes(from, to, gate, expected, state);
}

}  // namespace fenrallo::win32
