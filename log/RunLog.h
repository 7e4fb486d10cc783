// The run log: the text box where the program reports how many files wait and how many moved.
// The box's text is the only store; every append reads it back and builds on it.
#pragma once

#include "platform/Widgets.h"

namespace fenrallo {

class RunLog {
public:
    static constexpr Colour kRed = 255;

    explicit RunLog(TextBox& box) : box_(box) {}

    void resetWithHeader();
    void ensureRed();
    void setRed();
    void appendReceived(int count);
    void appendMoved(int count);

private:
    TextBox& box_;
};

}  // namespace fenrallo
