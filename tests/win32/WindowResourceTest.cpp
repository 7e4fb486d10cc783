// The resources the exe carries, checked in this test exe, which compiles the same fenrallo.rc:
// an icon group with the four sizes in 24-bit colour, the version record, and a manifest that
// asks for per-monitor DPI and the current common controls.
#include <windows.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace fenrallo {
namespace {

#pragma pack(push, 2)
struct IconGroupHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

const BYTE* resourceBytes(LPCWSTR type, int id, DWORD& size)
{
    const HMODULE self = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(self, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
        size = 0;
        return nullptr;
    }
    size = SizeofResource(self, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(self, found)));
}

TEST(WindowResourceTest, IconOneHoldsFourSizesInTrueColour)
{
    DWORD size = 0;
    const BYTE* group = resourceBytes(RT_GROUP_ICON, 1, size);
    ASSERT_NE(group, nullptr);
    ASSERT_GE(size, sizeof(IconGroupHeader));
    const auto* header = reinterpret_cast<const IconGroupHeader*>(group);
    ASSERT_EQ(size, sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));
    const auto* entries = reinterpret_cast<const IconGroupEntry*>(group + sizeof(IconGroupHeader));
    std::set<int> sizes;
    for (WORD i = 0; i < header->count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        EXPECT_EQ(entries[i].bitCount, 24);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 32, 48, 64}));
}

Text versionString(const std::vector<BYTE>& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    const Text path = Text(L"\\StringFileInfo\\080404B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) {
        return L"<missing>";
    }
    return Text(static_cast<const wchar_t*>(value), length - 1);
}

TEST(WindowResourceTest, VersionRecordNamesTheProgram)
{
    DWORD size = 0;
    const BYTE* record = resourceBytes(RT_VERSION, 1, size);
    ASSERT_NE(record, nullptr);
    // VerQueryValueW wants a writable copy of the block.
    std::vector<BYTE> block(record, record + size);

    const std::array<std::pair<const wchar_t*, const wchar_t*>, 5> strings = {{
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"},
        {L"InternalName", L"Fenrallo1.0"},
        {L"OriginalFilename", L"Fenrallo1.0.exe"},
        {L"ProductName", L"Fenrallo"},
    }};
    for (const auto& [name, expected] : strings) {
        EXPECT_EQ(versionString(block, name), expected) << static_cast<const void*>(name);
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(LOWORD(*translation), 0x0804);
    EXPECT_EQ(HIWORD(*translation), 1200);
}

TEST(WindowResourceTest, ManifestAsksForDpiAwarenessCommonControlsAndLongPaths)
{
    DWORD size = 0;
    const BYTE* manifest = resourceBytes(MAKEINTRESOURCEW(24), 1, size);
    ASSERT_NE(manifest, nullptr);
    const std::string text(reinterpret_cast<const char*>(manifest), size);
    for (const char* wanted :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", ">true/pm<",
          ">PerMonitorV2,PerMonitor<", "<longPathAware", "asInvoker",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
    }
}

}  // namespace
}  // namespace fenrallo
