// Moving one file or folder without ever replacing anything. Within a volume a move is one
// rename. To another volume a file is copied under a temporary name beside its destination and
// renamed into place only when whole, and the source is deleted only then; the source is held
// open throughout, so the file copied and the file deleted are the same file. An entry ends up
// in exactly one of its two places, and a process ended at any instant leaves at most a
// temporary copy, never a partial file under an entry's name.
#pragma once

#include <cstdint>

#include "platform/Callback.h"
#include "platform/Text.h"

namespace fenrallo::win32 {

// Asked before each chunk of a copy to another volume, with the bytes copied so far; false
// cancels the copy, which is then removed.
using KeepCopying = Callback<bool(std::uint64_t copied)>;

// True when the entry was moved, and then it is at `to` only. Folders move only within a volume.
bool moveWithoutReplace(const Text& from, const Text& to, const KeepCopying& keepCopying);

// Names of temporary copies start with this; they end in ".tmp".
inline constexpr wchar_t kTemporaryPrefix[] = L"~fenrallo-";

}  // namespace fenrallo::win32
