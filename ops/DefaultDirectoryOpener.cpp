#include "ops/DefaultDirectoryOpener.h"

namespace fenrallo {

void DefaultDirectoryOpener::openDefaultDirectory()
{
    // The trailing space after the closing quote is part of the command line users have always
    // been given; the file manager ignores it.
    platform_.LaunchFileManager(L"explorer \"" + platform_.ProgramDirectory() + L"\" ");
}

}  // namespace fenrallo
