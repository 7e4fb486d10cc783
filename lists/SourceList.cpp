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
                ++revision_;
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
        ++revision_;
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

void SourceList::setMarks(const std::vector<MarkUpdate>& updates, std::uint64_t revision)
{
    const int total = box_.count();
    if (revision == revision_) {
        for (const MarkUpdate& update : updates) {
            if (update.position < total) {
                box_.setMark(update.position, update.mark);
            }
        }
        return;
    }
    // Sorted by text to be found without copying one; each text is listed once at most, so the
    // pass can end when all of them have been found.
    std::vector<const MarkUpdate*> byText;
    byText.reserve(updates.size());
    for (const MarkUpdate& update : updates) {
        byText.push_back(&update);
    }
    const auto before = [](const MarkUpdate* a, const MarkUpdate* b) {
        return *a->text < *b->text;
    };
    std::sort(byText.begin(), byText.end(), before);
    std::size_t found = 0;
    for (int i = 0; i < total && found < byText.size(); ++i) {
        const Text text = box_.textAt(i);
        const MarkUpdate probe{&text, i, {}};
        const auto match = std::lower_bound(byText.begin(), byText.end(), &probe, before);
        if (match != byText.end() && *(*match)->text == text) {
            box_.setMark(i, (*match)->mark);
            ++found;
        }
    }
}

}  // namespace fenrallo
