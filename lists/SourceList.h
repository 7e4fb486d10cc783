// The source list: full paths of the files and folders to move, collected by drops. The list box
// holds the entries, shows them, and is what a batch moves; beside it a set of the same texts,
// changed with every insert and removal, tells a duplicate at the cost of the dropped path
// alone, however long the list. Each entry carries in the list box what the last batch that
// tried it made of it (moved, or stayed and why), so the mark goes wherever later drops put the
// entry and leaves with it.
#pragma once

#include <cstdint>
#include <vector>

#include "lists/TextSet.h"
#include "log/RunLog.h"
#include "platform/Widgets.h"

namespace fenrallo {

// A new mark for one entry: its text, and its position while the list was at a given revision.
struct MarkUpdate {
    const Text* text = nullptr;
    int position = -1;
    EntryMark mark;
};

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
    // Gives each entry of `updates` that is still listed its mark: by position, reading no text,
    // while the list is at `revision` still; else found by text in one pass over the list.
    void setMarks(const std::vector<MarkUpdate>& updates, std::uint64_t revision);
    // Changes whenever an entry comes or goes, so positions taken at one revision hold while it
    // lasts.
    std::uint64_t revision() const { return revision_; }

    int count() const { return box_.count(); }
    // The empty text past the end.
    Text entryAt(int position) const { return box_.textAt(position); }

private:
    ListBox& box_;
    RunLog& log_;
    TextSet listed_;
    std::uint64_t revision_ = 0;
};

}  // namespace fenrallo
