// Opens the program's own folder, where the default move puts files, in the file manager.
#pragma once

#include "platform/PlatformServices.h"

namespace fenrallo {

class DefaultDirectoryOpener {
public:
    explicit DefaultDirectoryOpener(PlatformServices& platform) : platform_(platform) {}

    void openDefaultDirectory();

private:
    PlatformServices& platform_;
};

}  // namespace fenrallo
