// Process start: harden DLL loading before anything can load a DLL by name, hand the command
// line's paths to this exe's window when one is open already, else show Form1 with them listed
// and serve its messages until it is closed.
#include <windows.h>

#include "app/MainWindow.h"
#include "app/SingleWindow.h"
#include "platform/win32/DllHardening.h"
#include "platform/win32/HandOver.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    fenrallo::win32::restrictDllSearchToSystem();

    // Made full now: the current directory is this start's, not the window's.
    const fenrallo::SingleWindow single;
    const std::optional<fenrallo::TextList> paths =
        single.handOver(fenrallo::win32::commandLinePaths(GetCommandLineW()));
    if (!paths) {
        return 0;
    }
    fenrallo::MainWindow window;
    if (!window.create(instance)) {
        return 1;
    }
    window.show(showCommand);
    if (!paths->empty()) {
        window.takePaths(fenrallo::ControlId::List1, *paths);
    }

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager gives a plain window Tab and Shift+Tab between its controls.
        if (!IsDialogMessageW(window.handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
