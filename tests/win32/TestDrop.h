// A drop built the way the shell builds one: a movable global block holding DROPFILES, then the
// paths each ended by a NUL, then one more NUL. The receiver owns it once it is handed over and
// frees it with DragFinish.
#pragma once

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "platform/Text.h"

namespace fenrallo::test {

inline HDROP makeDrop(const TextList& paths, bool wide = true)
{
    std::string list;
    for (const Text& path : paths) {
        for (const wchar_t c : path) {
            if (wide) {
                list.append(reinterpret_cast<const char*>(&c), sizeof c);
            } else {
                list.push_back(static_cast<char>(c));
            }
        }
        list.append(wide ? sizeof(wchar_t) : 1, '\0');
    }
    list.append(wide ? sizeof(wchar_t) : 1, '\0');

    const HGLOBAL memory =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide ? TRUE : FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

}  // namespace fenrallo::test
