// The target list: folders dropped as destinations. The newest drop's first path sits on top and
// is the current target; older targets stay listed below it.
#pragma once

#include "platform/Widgets.h"

namespace fenrallo {

class TargetList {
public:
    explicit TargetList(ListBox& box) : box_(box) {}

    void onDrop(const TextList& paths);
    // The entry on top, or the empty text when nothing was dropped yet.
    Text currentTarget() const { return box_.textAt(0); }

private:
    ListBox& box_;
};

}  // namespace fenrallo
