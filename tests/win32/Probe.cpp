// A helper the platform tests copy into folders of their choosing and run there, so the platform
// layer is seen from a program that really lives in that folder.
//   probe directory <out>     writes its ProgramDirectory to <out> as UTF-16
//   probe launch              opens its own folder in the file manager, as Command6 does
//   probe load restrict|plain system|bare|window <dll>
//       loads <dll> through loadSystemLibrary, through LoadLibraryW, or by showing a window (user32
//       then loads uxtheme.dll itself); exits with 0 when <dll> is loaded
#include <windows.h>

#include <fstream>
#include <string>

#include "platform/win32/DllHardening.h"
#include "platform/win32/Win32PlatformServices.h"

int wmain(int argc, wchar_t** argv)
{
    fenrallo::win32::Win32PlatformServices services;
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"directory" && argc == 3) {
        const std::wstring directory = services.ProgramDirectory();
        std::ofstream(argv[2], std::ios::binary)
            .write(reinterpret_cast<const char*>(directory.data()),
                   static_cast<std::streamsize>(directory.size() * sizeof(wchar_t)));
        return 0;
    }
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
        if (how == L"bare") {
            return LoadLibraryW(argv[4]) != nullptr ? 0 : 1;
        }
        const HWND window = CreateWindowExW(0, L"BUTTON", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                            0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < 20; ++i) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
        DestroyWindow(window);
        return GetModuleHandleW(argv[4]) != nullptr ? 0 : 1;
    }
    return 2;
}
