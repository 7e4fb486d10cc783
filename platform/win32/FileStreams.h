// The named streams of a file (a download's ":Zone.Identifier:$DATA"), which a copy to another
// volume must carry along. The list comes from the file system as a chain of FILE_STREAM_INFO
// entries that is read within its buffer and trusted in nothing: a chain that runs past it is an
// error, never an empty list, since a move that went on would delete the streams with the source.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "platform/Text.h"

namespace fenrallo::win32 {

// The names of the streams other than the unnamed one, from a FileStreamInfo buffer of `size`
// bytes; nothing when the chain is malformed.
std::optional<TextList> streamNamesIn(const void* buffer, std::size_t size);

// The names of `file`'s named streams; none where the file system keeps no streams; nothing when
// they cannot be listed, GetLastError saying why (ERROR_INVALID_DATA for a malformed chain).
std::optional<TextList> namedStreams(HANDLE file);

}  // namespace fenrallo::win32
