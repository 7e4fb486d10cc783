// The services of the desktop platform the program's logic depends on. The logic reaches the
// platform only through this interface and the widget interfaces in Widgets.h, so it builds and
// is tested anywhere against a fake, and runs on Windows against platform/win32.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/Text.h"

namespace fenrallo {

// Set from the user-interface thread when a batch running elsewhere is to end early.
using StopFlag = std::atomic<bool>;

// Which file an entry is, whatever it is called: its volume's serial number and its ID on that
// volume (128 bits where the file system gives them, else the 64-bit index with `high` 0).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t low = 0;
    std::uint64_t high = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What became of one move.
struct MoveOutcome {
    bool moved = false;
    // Why it did not move: the platform's own error number, or one of the reasons below.
    std::uint32_t reason = 0;
    // The file now at the new path, when it moved.
    FileIdentity identity;
};

// Reasons of the program's own, where no error of the platform's says why; in the range Windows
// leaves to applications (bit 29 set), so they never stand for a system error.
inline constexpr std::uint32_t kReasonMovedOntoItself = 0x20000001;
inline constexpr std::uint32_t kReasonFolderToOtherVolume = 0x20000002;
inline constexpr std::uint32_t kReasonNotTheFileMoved = 0x20000003;

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Directory holding the running executable, without a trailing backslash except at a drive
    // root ("Q:\"). Read afresh on every call: callers never cache it.
    virtual Text ProgramDirectory() = 0;

    // Moves or renames one file or folder; never replaces an entry already at newPath. Moved,
    // and then the entry is at newPath only, or not moved and why. A move that has to copy to
    // another volume gives up once `stop` is set, leaving the source whole and no partial copy.
    // Called from a worker thread.
    virtual MoveOutcome MoveWithoutReplace(const Text& existingPath, const Text& newPath,
                                           const StopFlag& stop) = 0;

    // The undo's move: as MoveWithoutReplace, but only when the file at existingPath is still
    // `expected`, checked and moved through one handle, so no other file can take its place in
    // between; otherwise not moved, kReasonNotTheFileMoved.
    virtual MoveOutcome MoveBackWithoutReplace(const Text& existingPath, const Text& newPath,
                                               const FileIdentity& expected,
                                               const StopFlag& stop) = 0;

    // True for an existing entry that is neither a directory nor hidden nor a system file.
    virtual bool IsOrdinaryFile(const Text& path) = 0;

    // Starts the desktop file manager named by the first word of commandLine, handing it the rest
    // of the line; does not wait.
    virtual void LaunchFileManager(const Text& commandLine) = 0;

    // A modal warning box with one OK button, owned by the main window.
    virtual void ShowWarning(const Text& prompt, const Text& title) = 0;
};

}  // namespace fenrallo
