// The marks that make a file go when its last handle closes, also when the process is killed: a
// copy carries one while it is incomplete, a moved file's source gets one last. Newer Windows on
// NTFS and ReFS takes FileDispositionInfoEx, so a copy can be created already marked, leaving no
// instant in which a kill leaves it, and a source's name goes as its handle closes, whoever else
// has it open. Elsewhere (Windows 7 and 8.1, FAT, exFAT, Wine 8) that call is refused and the
// older ways serve: the mark set right after the creation, the name gone when the last handle
// closes. Which way a volume takes is found by trying once, on its first file.
#pragma once

#include <windows.h>

#include "platform/win32/FileHandles.h"

namespace fenrallo::win32 {

// The calls that mark, unmark and flush files: the platform's, or in tests others that give Wine
// the behaviour of the Windows versions it does not have.
struct FileCalls {
    decltype(&CreateFileW) create;
    decltype(&SetFileInformationByHandle) setInformation;
    decltype(&FlushFileBuffers) flush;
};
const FileCalls& platformCalls();

// Whether a volume takes one of the newer ways; Unknown until its first file tried it.
enum class Taken { Unknown, Yes, No };

// A refusal that says the file system or the Windows version cannot do what was asked, rather
// than that this file cannot: the older way or doing without serves then.
bool refusedAsUnsupported(DWORD error);

// A new file (CREATE_NEW, unshared, with DELETE access) marked for deletion: created marked where
// `createdMarked` allows, else marked right after creation; a file whose mark fails is removed at
// once. Null when either fails, with the failing call's error in `error`.
File createMarked(const FileCalls& calls, Taken& createdMarked, const Text& path, DWORD access,
                  DWORD attributes, DWORD& error);

// Takes off the mark createMarked set in the way `createdMarked` said then. 0, or the error.
DWORD unmark(const FileCalls& calls, Taken createdMarked, HANDLE file);

// Marks the file held for deletion, POSIX-style where `posix` allows (its name goes as this
// handle closes, read-only or not), else clearing a read-only attribute first (`attributes` are
// the file's own) and putting it back when the mark is refused. 0, or the error.
DWORD markDeleted(const FileCalls& calls, Taken& posix, HANDLE file, DWORD attributes);

}  // namespace fenrallo::win32
