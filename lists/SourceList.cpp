// Drop intake compares every dropped path with every entry. Asking the list box for each
// entry per dropped path would make a drop of thousands take seconds, so one drop keeps a hash
// set of the listed texts, built once from the box and updated with each insert, and lets it
// go when the drop is done: the box stays the only store.
#include "lists/SourceList.h"

#include <algorithm>
#include <unordered_set>

namespace fenrallo {

void SourceList::onDrop(const TextList& paths)
{
    log_.resetWithHeader();

    const int existing = box_.count();
    std::unordered_set<Text> listed;
    listed.reserve(static_cast<std::size_t>(existing) + paths.size());
    for (int i = 0; i < existing; ++i) {
        listed.insert(box_.textAt(i));
    }

    {
        BulkInsert bulk(box_, paths);
        // Counted here rather than asked of the box: nothing else changes it during the drop.
        int entries = existing;
        int dropPosition = 0;
        for (const Text& path : paths) {
            if (listed.insert(path).second) {
                // A path dropped twice in one drop is skipped the second time, which can leave
                // its drop position past the end of the list: insert at the end then.
                box_.insertAt(std::min(dropPosition, entries), path);
                ++entries;
            }
            ++dropPosition;
        }
    }

    log_.ensureRed();
    log_.appendReceived(box_.count());
}

void SourceList::onDoubleClick()
{
    const int selected = box_.selected();
    if (selected >= 0) {
        box_.removeAt(selected);
    }
}

void SourceList::onDeleteKey()
{
    const int selected = box_.selected();
    onDoubleClick();
    const int remaining = box_.count();
    if (selected >= 0 && remaining > 0) {
        box_.select(std::min(selected, remaining - 1));
    }
}

}  // namespace fenrallo
