#include "lists/SourceList.h"

#include <algorithm>

namespace fenrallo {

SourceList::SourceList(ListBox& box, RunLog& log) : box_(box), log_(log)
{
    for (int i = 0; i < box_.count(); ++i) {
        listed_.insert(box_.textAt(i));
    }
}

void SourceList::onDrop(const TextList& paths)
{
    log_.resetWithHeader();
    {
        const int existing = box_.count();
        listed_.reserve(static_cast<std::size_t>(existing) + paths.size());
        BulkInsert bulk(box_, paths);
        // Counted here rather than asked of the box: nothing else changes it during the drop.
        int entries = existing;
        int dropPosition = 0;
        for (const Text& path : paths) {
            if (listed_.insert(path)) {
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
        listed_.erase(box_.textAt(selected));
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

void SourceList::setMoved(const TextSet& entries, bool moved)
{
    // Each text is listed once at most: the pass can end when all of them have been found.
    const int total = box_.count();
    std::size_t found = 0;
    for (int i = 0; i < total && found < entries.size(); ++i) {
        if (entries.contains(box_.textAt(i))) {
            box_.setMark(i, {moved ? EntryMark::State::Moved : EntryMark::State::Untried, 0});
            ++found;
        }
    }
}

}  // namespace fenrallo
