#include "lists/TargetList.h"

namespace fenrallo {

void TargetList::onDrop(const TextList& paths)
{
    BulkInsert bulk(box_, paths);
    int position = 0;
    for (const Text& path : paths) {
        box_.insertAt(position++, path);
    }
}

}  // namespace fenrallo
