// A helper the platform tests copy into chosen folders and run there, so the platform layer is
// observed from a program that really lives in that folder. Results go to a file as raw UTF-16.
//   PlatformProbe directory <out>                    its ProgramDirectory
//   PlatformProbe launch                             opens its own folder in the file manager
//   PlatformProbe launch-by-search                   the same by searching for "explorer"
//   PlatformProbe load restrict|plain system|bare|window <dll> <out>
//       loads <dll> through loadSystemLibrary, LoadLibraryW or by showing a window (which makes
//       user32 load uxtheme.dll itself), and reports the path of the copy that is loaded
#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/DllHardening.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32PlatformServices.h"

namespace {

using fenrallo::Text;
using fenrallo::win32::UniqueHandle;
using OwnedHandle = UniqueHandle<HANDLE, CloseHandle>;
using fenrallo::win32::Win32PlatformServices;

void report(const std::wstring& file, const Text& text)
{
    std::ofstream(file.c_str(), std::ios::binary)
        .write(reinterpret_cast<const char*>(text.data()),
               static_cast<std::streamsize>(text.size() * sizeof(wchar_t)));
}

Text moduleFileName(HMODULE module)
{
    // No Windows path is longer than this.
    Text name(32768, L'\0');
    name.resize(GetModuleFileNameW(module, name.data(), 32768));
    return name;
}

void showWindowBriefly()
{
    const HWND window = CreateWindowExW(0, L"BUTTON", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                        0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    MSG message;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    DestroyWindow(window);
}

// The line DefaultDirectoryOpener hands over.
Text openCommand(Win32PlatformServices& services)
{
    return L"explorer \"" + services.ProgramDirectory() + L"\" ";
}

int run(const std::vector<std::wstring>& args)
{
    Win32PlatformServices services;
    if (args.size() == 3 && args[1] == L"directory") {
        report(args[2], services.ProgramDirectory());
        return 0;
    }
    if (args.size() == 2 && args[1] == L"launch") {
        services.LaunchFileManager(openCommand(services));
        return 0;
    }
    if (args.size() == 2 && args[1] == L"launch-by-search") {
        Text line = openCommand(services);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &started)) {
            return 1;
        }
        const OwnedHandle process(started.hProcess);
        const OwnedHandle thread(started.hThread);
        return 0;
    }
    if (args.size() == 6 && args[1] == L"load") {
        if (args[2] == L"restrict") {
            fenrallo::win32::restrictDllSearchToSystem();
        }
        HMODULE module = nullptr;
        if (args[3] == L"system") {
            module = fenrallo::win32::loadSystemLibrary(args[4].c_str());
        } else if (args[3] == L"bare") {
            module = LoadLibraryW(args[4].c_str());
        } else {
            showWindowBriefly();
            module = GetModuleHandleW(args[4].c_str());
        }
        report(args[5], module != nullptr ? moduleFileName(module) : Text());
        return 0;
    }
    return 2;
}

}  // namespace

int main()
{
    int count = 0;
    wchar_t** raw = CommandLineToArgvW(GetCommandLineW(), &count);
    if (raw == nullptr) {
        return 3;
    }
    const std::vector<std::wstring> args(raw, raw + count);
    LocalFree(raw);
    return run(args);
}
