// Reads the paths out of a drop. Each path's length is asked for before it is read: a fixed
// MAX_PATH buffer would silently cut longer paths, and DragQueryFileW reports no error then.
#include "platform/win32/DroppedPaths.h"

#include <utility>

namespace fenrallo::win32 {

TextList droppedPaths(HDROP drop)
{
    TextList paths;
    if (drop == nullptr) {
        return paths;
    }
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        Text path(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(std::move(path));
    }
    return paths;
}

}  // namespace fenrallo::win32
