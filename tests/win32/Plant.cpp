// Stands in for a system program or DLL (explorer.exe, uxtheme.dll) planted in the program's
// folder: when it runs or is loaded it leaves "<its own path>.ran" beside itself.
#include <windows.h>

#include <string>

namespace {

void leaveMarker(HMODULE self)
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(self, path.data(), 32768));
    CloseHandle(CreateFileW((path + L".ran").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

#if defined(PLANT_DLL)
extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        leaveMarker(self);
    }
    return TRUE;
}
#else
int main()
{
    leaveMarker(nullptr);
}
#endif
