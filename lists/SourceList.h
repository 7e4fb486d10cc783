// The source list: full paths of the files and folders to move, collected by drops. The list box
// holds the entries, shows them, and is what a batch moves; beside it a set of the same texts,
// changed with every insert and removal, tells a duplicate at the cost of the dropped path
// alone, however long the list. An entry whose file a batch moved carries the list box's mark
// until an undo moves it back, so it is shown as moved wherever later drops put it.
#pragma once

#include "lists/TextSet.h"
#include "log/RunLog.h"
#include "platform/Widgets.h"

namespace fenrallo {

class SourceList {
public:
    // Takes in whatever `box` lists already.
    SourceList(ListBox& box, RunLog& log);

    // Inserts each dropped path that is not listed yet at the position it has in the drop.
    void onDrop(const TextList& paths);
    // Removes the selected entry, if any.
    void onDoubleClick();
    // Removes the selected entry and selects the one that took its place, so the key removes
    // entry after entry, as in the file manager.
    void onDeleteKey();
    // Marks each listed entry whose text is in `entries` as moved, or as not moved, in one pass
    // over the list however many there are.
    void setMoved(const TextSet& entries, bool moved);

    int count() const { return box_.count(); }
    // The empty text past the end.
    Text entryAt(int position) const { return box_.textAt(position); }

private:
    ListBox& box_;
    RunLog& log_;
    TextSet listed_;
};

}  // namespace fenrallo
