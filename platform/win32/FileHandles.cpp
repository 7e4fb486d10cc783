#include "platform/win32/FileHandles.h"

namespace fenrallo::win32 {

bool setAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic{};  // times of zero are left as they are
    basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic) != FALSE;
}

bool setDeletion(HANDLE file, bool deleted)
{
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(deleted ? TRUE : FALSE)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

bool deleteOnClose(HANDLE file, DWORD attributes)
{
    // A read-only file cannot be deleted.
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !setAttributes(file, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    if (setDeletion(file, true)) {
        return true;
    }
    if (readOnly) {
        setAttributes(file, attributes);
    }
    return false;
}

bool sameFile(HANDLE one, HANDLE other)
{
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return GetFileInformationByHandle(one, &a) && GetFileInformationByHandle(other, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace fenrallo::win32
