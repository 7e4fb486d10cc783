// A move tries the one rename first and copies only where the platform says it crosses volumes.
#include "platform/win32/FileMove.h"

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
    if (crossings == nullptr || !crossings->known(from, to)) {
        // One rename, and nothing after it: the platform keeps it from replacing anything.
        if (MoveFileExW(extendedLengthPath(from).c_str(), extendedLengthPath(to).c_str(), 0)) {
            return {true, 0, {}};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_NOT_SAME_DEVICE) {
            return {false, error, {}};
        }
        if (crossings != nullptr) {
            crossings->remember(from, to);
        }
    }
    CopyState unkept;
    return copyAcrossVolumes(from, to, gate, expected,
                             crossings != nullptr ? crossings->copyState() : unkept);
}

}  // namespace fenrallo::win32
