// The source list: full paths of the files and folders to move, collected by drops.
// The list box holds the entries; nothing else keeps a copy between events.
#pragma once

#include "log/RunLog.h"
#include "platform/Widgets.h"

namespace fenrallo {

class SourceList {
public:
    SourceList(ListBox& box, RunLog& log) : box_(box), log_(log) {}

    // Inserts each dropped path that is not listed yet at the position it has in the drop.
    void onDrop(const TextList& paths);
    // Removes the selected entry, if any.
    void onDoubleClick();
    // Removes the selected entry and selects the one that took its place, so the key removes
    // entry after entry, as in the file manager.
    void onDeleteKey();

    int count() const { return box_.count(); }
    // The empty text past the end.
    Text entryAt(int position) const { return box_.textAt(position); }

private:
    ListBox& box_;
    RunLog& log_;
};

}  // namespace fenrallo
