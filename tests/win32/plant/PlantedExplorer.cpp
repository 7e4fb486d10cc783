// Stands in for an explorer.exe planted in the program's folder. It only leaves the marker
// "planted-explorer-ran.txt" beside itself, so a test can tell it was run.
#include <windows.h>

#include <string>

int main()
{
    // No Windows path is longer than this.
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), 32768));
    path.resize(path.rfind(L'\\') + 1);
    path += L"planted-explorer-ran.txt";
    // On failure this closes INVALID_HANDLE_VALUE, the process pseudo-handle: a no-op.
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return 0;
}
