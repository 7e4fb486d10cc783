// Reading a WM_DROPFILES drop or the clipboard's files: the paths in the order the data carries
// them, each read whole however long it is, and an owner that hands a drop back to the shell.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>

#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

// The paths of a drop in the shell's wide or ANSI form. Empty for a null drop, for a block that
// is not a well-formed list of paths and for one over 256 MiB.
TextList droppedPaths(HDROP drop);

// The files and folders on the clipboard, as the file manager's Copy leaves them; nothing when
// the clipboard holds none. `owner` is a window of the caller's.
std::optional<TextList> clipboardPaths(HWND owner);

// The drop's memory belongs to the receiver until DragFinish; owning it means a handler that
// returns early still releases it.
using DropHandle = UniqueHandle<HDROP, DragFinish>;

}  // namespace fenrallo::win32
