#include "platform/win32/FileHandles.h"

#include <cstddef>
#include <vector>

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

bool sameFile(HANDLE one, HANDLE other)
{
    const std::optional<FileIdentity> a = fileIdentity(one);
    return a && a == fileIdentity(other);
}

}  // namespace fenrallo::win32
