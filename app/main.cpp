// Process start: harden DLL loading before anything can load a DLL by name, show Form1 and serve
// its messages until it is closed.
#include <windows.h>

#include "app/MainWindow.h"
#include "platform/win32/DllHardening.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    fenrallo::win32::restrictDllSearchToSystem();

    fenrallo::MainWindow window;
    if (!window.create(instance)) {
        return 1;
    }
    window.show(showCommand);

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
