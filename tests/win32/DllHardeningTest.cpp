// DLL planting: a DLL named like a system one (uxtheme.dll, dwmapi.dll) is put in a folder that
// is both the program's own folder and the current one, and a probe program there loads that
// name. Wine prefers its built-in DLLs, so the probe runs with that DLL set native-first, the
// only order Windows knows. The plant leaves a marker when loaded.
#include <gtest/gtest.h>

#include "PlatformTestSupport.h"

namespace fenrallo::test {
namespace {

// Wine's per-program DLL load order, keyed by the program's file name: the override reaches
// only that program, however it is started. Windows ignores the key.
class NativeFirstFor {
public:
    NativeFirstFor(const std::wstring& program, const std::wstring& dll)
        : key_(L"Software\\Wine\\AppDefaults\\" + program)
    {
        const wchar_t order[] = L"native,builtin";
        RegSetKeyValueW(HKEY_CURRENT_USER, (key_ + L"\\DllOverrides").c_str(), dll.c_str(), REG_SZ,
                        order, sizeof order);
    }
    ~NativeFirstFor() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }
    NativeFirstFor(const NativeFirstFor&) = delete;
    NativeFirstFor& operator=(const NativeFirstFor&) = delete;

private:
    std::wstring key_;
};

TEST(DllPlanting, OnlyTheSystemCopyLoads)
{
    struct Case {
        const wchar_t* dll;
        bool restricted;        // restrictDllSearchToSystem first
        const wchar_t* loader;  // system: loadSystemLibrary, bare: LoadLibraryW, window: user32
        bool plantLoads;
    };
    // The first two rows show the plant is a real threat here: without the hardening it loads.
    const Case cases[] = {
        {L"uxtheme.dll", false, L"bare", true},   {L"uxtheme.dll", false, L"window", true},
        {L"uxtheme.dll", true, L"bare", false},   {L"dwmapi.dll", true, L"bare", false},
        {L"uxtheme.dll", true, L"window", false}, {L"uxtheme.dll", false, L"system", false},
        {L"dwmapi.dll", false, L"system", false}, {L"uxtheme.dll", true, L"system", false},
    };
    for (const Case& c : cases) {
        ScratchDir scratch;
        const fs::path folder = scratch.path() / L"程序 folder";
        fs::create_directories(folder);
        const fs::path probe =
            folder / (L"dll-probe-" + std::to_wstring(GetCurrentProcessId()) + L".exe");
        const fs::path plant = folder / c.dll;
        fs::copy_file(helper(L"platform_probe.exe"), probe);
        fs::copy_file(helper(L"plant_dll.dll"), plant);
        const fs::path marker = plant.wstring() + L".loaded";
        const fs::path report = scratch.path() / L"loaded.txt";

        const NativeFirstFor nativeFirst(probe.filename().wstring(),
                                         fs::path(c.dll).stem().wstring());
        const std::wstring arguments =
            std::wstring(c.restricted ? L"load restrict " : L"load plain ") + c.loader + L" " +
            c.dll + L" " + quoted(report.wstring());
        SCOPED_TRACE(testing::PrintToString(arguments));
        const ChildExit exit = ChildProcesses().run(probe, arguments, folder);

        ASSERT_TRUE(exit.ran);
        ASSERT_EQ(exit.code, 0u);
        EXPECT_EQ(fs::exists(marker), c.plantLoads);
        const fs::path loaded = readUtf16File(report);
        if (!c.plantLoads) {
            EXPECT_EQ(lowered(loaded.parent_path().wstring()),
                      lowered(systemFolder(GetSystemDirectoryW)));
        } else if (c.loader == std::wstring(L"bare")) {
            // user32 frees a plant again once it finds its functions missing; LoadLibraryW keeps
            // it.
            EXPECT_EQ(lowered(loaded.wstring()), lowered(plant.wstring()));
        }
    }
}

}  // namespace
}  // namespace fenrallo::test
