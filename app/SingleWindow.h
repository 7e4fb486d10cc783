// One window per exe file and user session. The first start of an exe file claims a name in the
// session's Local\ namespace made from the file's identity (volume and file ID), so every
// spelling of its path, short names included, is one exe and a copy in another folder another.
// A later start hands its paths to that window over WM_COPYDATA and ends without a window.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/PlatformServices.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo {

class SingleWindow {
public:
    // Claims the name of this exe file, or learns that another start holds it.
    SingleWindow();

    // Hands `paths` to the window of the start that holds the name, which comes to the front
    // even when there are none; waits a few seconds for that window when it is not shown yet.
    // Nothing when it took them all; else the paths this start must list in a window of its
    // own: all of them when it is the first start or no window answered.
    std::optional<TextList> handOver(const TextList& paths) const;

private:
    win32::UniqueHandle<HANDLE, CloseHandle> name_;
    std::optional<FileIdentity> exe_;
    bool first_ = true;
};

// The identity of the file or folder at `path`; nothing when it cannot be opened.
std::optional<FileIdentity> identityOfFile(const Text& path);

}  // namespace fenrallo
