// A stand-in the end-to-end tests place as explorer.exe in Fenrallo's own folder. Fenrallo must
// start the file manager of the Windows directory, never a program that happens to sit beside
// it; if this one is ever started it leaves a file next to itself that the tests look for.
#include <windows.h>

#include <string>

int main()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return 1;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.rfind(L'\\') + 1);
    path += L"planted-explorer-ran.txt";
    HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE) {
        return 1;
    }
    CloseHandle(marker);
    return 0;
}
