// The services of the desktop platform the program's logic depends on. The logic reaches the
// platform only through this interface and the widget interfaces in Widgets.h, so it builds and
// is tested anywhere against a fake, and runs on Windows against platform/win32.
#pragma once

#include <atomic>

#include "platform/Text.h"

namespace fenrallo {

// Set from the user-interface thread when a batch running elsewhere is to end early.
using StopFlag = std::atomic<bool>;

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Directory holding the running executable, without a trailing backslash except at a drive
    // root ("Q:\"). Read afresh on every call: callers never cache it.
    virtual Text ProgramDirectory() = 0;

    // Moves or renames one file or folder; never replaces an entry already at newPath. True when
    // the entry was moved, and then it is at newPath only. A move that has to copy to another
    // volume gives up once `stop` is set, leaving the source whole and no partial copy. Called
    // from a worker thread.
    virtual bool MoveWithoutReplace(const Text& existingPath, const Text& newPath,
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
