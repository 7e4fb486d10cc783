// The newer ways' names and flags are declared by the headers only for Windows 10 targets, and
// this program runs on Windows 7 too: they are spelled out here.
#include "platform/win32/DeletionMarks.h"

namespace fenrallo::win32 {

namespace {

constexpr auto kDispositionEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDelete = 0x1;
constexpr DWORD kPosixSemantics = 0x2;
constexpr DWORD kOnClose = 0x8;
constexpr DWORD kIgnoreReadOnly = 0x10;

bool setDispositionEx(const FileCalls& calls, HANDLE file, DWORD flags)
{
    DWORD info = flags;  // FILE_DISPOSITION_INFO_EX
    return calls.setInformation(file, kDispositionEx, &info, sizeof info) != FALSE;
}

bool setDisposition(const FileCalls& calls, HANDLE file, bool deleted)
{
    FILE_DISPOSITION_INFO disposition{static_cast<BOOLEAN>(deleted ? TRUE : FALSE)};
    return calls.setInformation(file, FileDispositionInfo, &disposition, sizeof disposition) !=
           FALSE;
}

const FileCalls kPlatformCalls{&CreateFileW, &SetFileInformationByHandle, &FlushFileBuffers};

}  // namespace

const FileCalls& platformCalls()
{
    return kPlatformCalls;
}

bool refusedAsUnsupported(DWORD error)
{
    return error == ERROR_INVALID_PARAMETER || error == ERROR_INVALID_FUNCTION ||
           error == ERROR_NOT_SUPPORTED || error == ERROR_CALL_NOT_IMPLEMENTED;
}

File createMarked(const FileCalls& calls, Taken& createdMarked, const Text& path, DWORD access,
                  DWORD attributes, DWORD& error)
{
    const auto create = [&](DWORD flags) {
        File file(opened(calls.create(path.c_str(), access | DELETE, 0, nullptr, CREATE_NEW,
                                      attributes | flags, nullptr)));
        error = file ? 0 : GetLastError();
        return file;
    };
    if (createdMarked != Taken::No) {
        File file = create(FILE_FLAG_DELETE_ON_CLOSE);
        // A plain FileDispositionInfo cannot take off the mark that flag sets; only the newer
        // call can, so it is tried on the first file, setting the mark it has already.
        if (!file || createdMarked == Taken::Yes ||
            setDispositionEx(calls, file.get(), kDelete | kOnClose)) {
            createdMarked = file ? Taken::Yes : createdMarked;
            return file;
        }
        if (refusedAsUnsupported(GetLastError())) {
            createdMarked = Taken::No;
        }
    }  // closed: it goes
    File file = create(0);
    if (file && !setDisposition(calls, file.get(), true)) {
        error = GetLastError();
        file.reset();
        DeleteFileW(path.c_str());
    }
    return file;
}

DWORD unmark(const FileCalls& calls, Taken createdMarked, HANDLE file)
{
    const bool done = createdMarked == Taken::Yes ? setDispositionEx(calls, file, kOnClose)
                                                  : setDisposition(calls, file, false);
    return done ? 0 : GetLastError();
}

DWORD markDeleted(const FileCalls& calls, Taken& posix, HANDLE file, DWORD attributes)
{
    if (posix != Taken::No) {
        if (setDispositionEx(calls, file, kDelete | kPosixSemantics | kIgnoreReadOnly)) {
            posix = Taken::Yes;
            return 0;
        }
        const DWORD error = GetLastError();
        if (!refusedAsUnsupported(error)) {
            return error;
        }
        posix = Taken::No;
    }
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !setAttributes(file, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return GetLastError();
    }
    if (setDisposition(calls, file, true)) {
        return 0;
    }
    const DWORD error = GetLastError();
    if (readOnly) {
        setAttributes(file, attributes);
    }
    return error;
}

}  // namespace fenrallo::win32
