#include "platform/win32/FileHandles.h"

#include <array>
#include <cstddef>
#include <vector>

#include "platform/win32/DllHardening.h"

namespace fenrallo::win32 {

bool setAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of zero are left as they are
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool renameWithoutReplace(HANDLE file, const Text& path)
{
    const std::size_t bytes = path.size() * sizeof(wchar_t);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + bytes + sizeof(wchar_t);
    std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(bytes);
    path.copy(rename->FileName, path.size());
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(size)) !=
           FALSE;
}

std::optional<FileIdentity> fileIdentity(HANDLE file)
{
    // FILE_ID_INFO, which the headers declare only for Windows 8 and later: Windows 7 refuses the
    // query, and the index below serves there.
    struct {
        ULONGLONG volume;
        BYTE id[16];
    } info{};
    if (GetFileInformationByHandleEx(file, static_cast<FILE_INFO_BY_HANDLE_CLASS>(18), &info,
                                     sizeof info)) {
        FileIdentity identity{info.volume, 0, 0};
        for (int i = 0; i < 8; ++i) {
            identity.low |= static_cast<std::uint64_t>(info.id[i]) << (8 * i);
            identity.high |= static_cast<std::uint64_t>(info.id[8 + i]) << (8 * i);
        }
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION index{};
    if (!GetFileInformationByHandle(file, &index)) {
        return std::nullopt;
    }
    return FileIdentity{
        index.dwVolumeSerialNumber,
        static_cast<std::uint64_t>(index.nFileIndexHigh) << 32U | index.nFileIndexLow, 0};
}

namespace {

// The index as FileInternalInformation gives it: the file's own, without asking its volume.
std::optional<std::uint64_t> fileIndex(HANDLE file)
{
    struct {
        ULONG_PTR status;
        ULONG_PTR information;
    } io{};
    LARGE_INTEGER index{};
    using Query = LONG(WINAPI*)(HANDLE, void*, void*, ULONG, int);
    const auto query = procedure<Query>(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile");
    constexpr int kFileInternalInformation = 6;
    if (query == nullptr || query(file, &io, &index, sizeof index, kFileInternalInformation) < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(index.QuadPart);
}

}  // namespace

std::optional<FileIdentity> fileIdentity(HANDLE file, FolderVolume& volume)
{
    const ULONGLONG now = GetTickCount64();
    const bool known = volume.lastUsed != 0 && now - volume.lastUsed < 1000;
    volume.lastUsed = now;
    if (known && !volume.wideIds) {
        if (const std::optional<std::uint64_t> index = fileIndex(file)) {
            return FileIdentity{volume.serial, *index, 0};
        }
    }
    const std::optional<FileIdentity> identity = fileIdentity(file);
    if (identity && !known) {
        std::array<wchar_t, MAX_PATH + 1> system{};
        volume.serial = identity->volume;
        volume.wideIds =
            identity->high != 0 ||
            !GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr,
                                           system.data(), static_cast<DWORD>(system.size())) ||
            CompareStringOrdinal(system.data(), -1, L"ReFS", -1, TRUE) == CSTR_EQUAL;
    }
    return identity;
}

bool sameFile(HANDLE one, HANDLE other)
{
    const std::optional<FileIdentity> a = fileIdentity(one);
    return a && a == fileIdentity(other);
}

}  // namespace fenrallo::win32
