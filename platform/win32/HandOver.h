// What a start of the program is given to list, and how a later start hands it to the window
// already open: the command line's paths, and the WM_COPYDATA block that carries them from one
// process to the other. The receiver reads the block as coming from anyone, which it may.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/Text.h"

namespace fenrallo::win32 {

// dwData of a hand-over: "FnRl", a value no other program is known to send.
inline constexpr ULONG_PTR kHandOverTag = 0x466E526C;
// A block holds no more characters, NULs included, than a command line can.
inline constexpr std::size_t kLongestHandOver = 32767;

// Every argument after the program's own name, split as CommandLineToArgvW splits it, made full
// against the current directory; empty arguments are skipped.
TextList commandLinePaths(const wchar_t* commandLine);

// `paths` as hand-over blocks: each path ended by a NUL, the list by one more. Paths made full
// can outgrow the command line they came from; they then go in several blocks, in order, each
// within kLongestHandOver. No paths give one block of a single NUL.
TextList handOverBlocks(const TextList& paths);

// The paths of a received block; nothing for a wrong tag, an odd byte count, a block over
// kLongestHandOver, a missing final NUL or an empty path.
std::optional<TextList> handedOverPaths(const COPYDATASTRUCT& data);

}  // namespace fenrallo::win32
