// A helper the platform tests copy into folders of their choosing and run there, so the platform
// layer is seen from a program that really lives in that folder.
//   probe launch              opens its own folder in the file manager, as Command6 does
//   probe load restrict|plain system|bare <dll>
//       loads <dll> through loadSystemLibrary or LoadLibraryW; exits with 0 when it is loaded
#include <windows.h>

#include <string>

#include "platform/win32/DllHardening.h"
#include "platform/win32/Win32PlatformServices.h"

int wmain(int argc, wchar_t** argv)
{
    fenrallo::win32::Win32PlatformServices services;
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"launch") {
        services.LaunchFileManager(L"explorer \"" + services.ProgramDirectory() + L"\" ");
        return 0;
    }
    if (command == L"load" && argc == 5) {
        if (argv[2] == std::wstring(L"restrict")) {
            fenrallo::win32::restrictDllSearchToSystem();
        }
        const std::wstring how = argv[3];
        if (how == L"system") {
            return fenrallo::win32::loadSystemLibrary(argv[4]) != nullptr ? 0 : 1;
        }
        return LoadLibraryW(argv[4]) != nullptr ? 0 : 1;
    }
    return 2;
}
