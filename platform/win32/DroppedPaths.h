// Reading a WM_DROPFILES drop: the dropped paths in the order the drag data carries them, each
// read whole however long it is, and an owner that hands the drop back to the shell.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "platform/Text.h"
#include "platform/win32/UniqueHandle.h"

namespace fenrallo::win32 {

// Empty for a null drop.
TextList droppedPaths(HDROP drop);

// The drop's memory belongs to the receiver until DragFinish; owning it means a handler that
// returns early still releases it.
using DropHandle = UniqueHandle<HDROP, DragFinish>;

}  // namespace fenrallo::win32
