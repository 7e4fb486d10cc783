// The file a copy to another volume writes, under a temporary name beside its destination: marked
// for deletion from the moment it exists until its data is on the disk, renamed into place only
// when whole, and removed again unless it is kept. Each step gives 0 or the error of the call
// that failed, read at once.
#pragma once

#include <windows.h>

#include "platform/Text.h"
#include "platform/win32/FileCopy.h"

namespace fenrallo::win32 {

// A name for a temporary copy beside `destination`, new on every call.
Text temporaryBeside(const Text& destination);

class TemporaryCopy {
public:
    // Created with `attributes` at paths.temporary, or at a new name while that one is taken, in
    // the way the volume's state says it takes.
    TemporaryCopy(const CopyPaths& paths, DWORD attributes, CopyState& state);
    ~TemporaryCopy();
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;

    // 0 once made, and marked.
    DWORD made() const { return error_; }
    HANDLE handle() const { return file_.get(); }
    const Text& path() const { return path_; }
    CopyState::Volume& volume() const { return volume_; }

    // For an encrypted source (FILE_ATTRIBUTE_ENCRYPTED to create with), that the copy is too:
    // an encrypted file is never written out in the clear.
    DWORD encryptedAs(DWORD createAttributes) const;

    // Room for `size` bytes, so that a full volume or a file too large for FAT32 fails before
    // anything is written. A file system that cannot reserve (Wine cannot) is written to all the
    // same. Where it can, the copy of a sparse file takes its full size.
    DWORD reserve(LARGE_INTEGER size);

    DWORD flush() { return errorUnless(calls_.flush(file_.get())); }

    // Created marked (FILE_FLAG_DELETE_ON_CLOSE), rather than marked right after.
    bool createdMarked() const { return createdMarked_ == Taken::Yes; }

    // From here on the copy stays when the process ends.
    DWORD unmark() { return win32::unmark(calls_, createdMarked_, file_.get()); }

    // The source's times and attributes. A time of 0 is "leave as it is" to FileBasicInfo: the
    // copy keeps the time it was made at there.
    DWORD takeOver(FILE_BASIC_INFO basic, DWORD attributes);

    DWORD renameTo(const Text& name)
    {
        return errorUnless(renameWithoutReplace(file_.get(), name));
    }

    void keep() { kept_ = true; }

private:
    const FileCalls& calls_;
    CopyState::Volume& volume_;
    Text path_;
    File file_;
    DWORD error_ = 0;
    Taken createdMarked_ = Taken::Unknown;
    DWORD attributes_ = FILE_ATTRIBUTE_NORMAL;
    bool kept_ = false;
};

}  // namespace fenrallo::win32
