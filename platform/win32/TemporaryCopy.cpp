// Names are the process's ID and a serial number, so copies by two processes never collide, and a
// name left by an earlier process is passed over.
#include "platform/win32/TemporaryCopy.h"

#include <atomic>

namespace fenrallo::win32 {

namespace {

Text hex(unsigned number)
{
    Text digits;
    do {
        digits.insert(digits.begin(), L"0123456789abcdef"[number % 16]);
        number /= 16;
    } while (number != 0);
    return digits;
}

}  // namespace

Text temporaryBeside(const Text& destination)
{
    static std::atomic<unsigned> serial{0};
    return folderOf(destination) + kTemporaryPrefix + hex(GetCurrentProcessId()) + L'-' +
           hex(++serial) + L".tmp";
}

TemporaryCopy::TemporaryCopy(const CopyPaths& paths, DWORD attributes, CopyState& state)
    : calls_(*state.calls),
      volume_(state.volumeOf(folderOf(paths.temporary))),
      path_(paths.temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        file_ = createMarked(calls_, volume_.createdMarked, path_,
                             GENERIC_WRITE | FILE_READ_ATTRIBUTES, attributes, error_);
        if (file_ || error_ != ERROR_FILE_EXISTS) {
            break;
        }
        path_ = temporaryBeside(paths.destination);
    }
    createdMarked_ = volume_.createdMarked;
}

TemporaryCopy::~TemporaryCopy()
{
    if (file_ && !kept_) {
        Taken posix = Taken::No;
        markDeleted(calls_, posix, file_.get(), attributes_);
    }
}

DWORD TemporaryCopy::encryptedAs(DWORD createAttributes) const
{
    FILE_BASIC_INFO basic{};
    if (createAttributes != FILE_ATTRIBUTE_ENCRYPTED) {
        return 0;
    }
    if (!GetFileInformationByHandleEx(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
        return GetLastError();
    }
    return (basic.FileAttributes & FILE_ATTRIBUTE_ENCRYPTED) != 0 ? 0 : ERROR_ENCRYPTION_FAILED;
}

DWORD TemporaryCopy::reserve(LARGE_INTEGER size)
{
    FILE_ALLOCATION_INFO allocation{size};
    if (size.QuadPart == 0 || SetFileInformationByHandle(file_.get(), FileAllocationInfo,
                                                         &allocation, sizeof allocation)) {
        return 0;
    }
    const DWORD error = GetLastError();
    return refusedAsUnsupported(error) ? 0 : error;
}

DWORD TemporaryCopy::takeOver(FILE_BASIC_INFO basic, DWORD attributes)
{
    basic.ChangeTime.QuadPart = 0;
    basic.FileAttributes = attributes;
    if (!SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic)) {
        return GetLastError();
    }
    attributes_ = attributes;
    return 0;
}

}  // namespace fenrallo::win32
