// The exe's entry point, in place of MinGW-w64's start-up code (the exe links with -nostartfiles).
// That code readies what this program never uses: global constructors (it has none: nothing runs
// them here), thread-local data, stdio, the C runtime's command-line parsing, the x87 precision,
// math error reports, runtime pseudo-relocations and an unhandled-exception filter. What wWinMain
// and msvcrt need is done here as that code does it.
#include <windows.h>

#include <cstdlib>

// msvcrt.dll's own name for it.
extern "C" void __cdecl __set_app_type(int type);  // NOLINT(bugprone-reserved-identifier)

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand);

#if defined(__i386__)
// Windows starts a 32-bit image with only 4-byte stack alignment.
#define STACK_REALIGNED __attribute__((force_align_arg_pointer))
#else
#define STACK_REALIGNED
#endif

extern "C" {
[[noreturn]] STACK_REALIGNED void fenralloStart()
{
    // A GUI program: msvcrt reports abort() in a message box, never on a console.
    __set_app_type(2);
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    // wWinMain reads the whole command line itself, to split it as the shell does.
    wchar_t none[] = L"";
    std::exit(wWinMain(GetModuleHandleW(nullptr), nullptr, none, show));
}
}
