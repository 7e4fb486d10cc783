// Where paths handed over by a later start of the program arrive: WM_COPYDATA. They join List1
// as a drop of them would; while a batch runs they wait, in order, for its end.
#pragma once

#include <windows.h>

#include <vector>

#include "platform/Callback.h"
#include "platform/Text.h"

namespace fenrallo {

class HandOverInbox {
public:
    // `take` lists paths as a drop on List1 does.
    explicit HandOverInbox(Callback<void(const TextList&)> take) : take_(std::move(take)) {}

    // A WM_COPYDATA's block: a well-formed one brings `window` to the front and its paths are
    // taken at once, or kept while `busy`. TRUE when taken or kept; anything malformed, or more
    // than a batch may keep, is ignored whole.
    LRESULT receive(HWND window, LPARAM data, bool busy);
    // Takes what was kept, block by block in the order it came.
    void batchEnded();

private:
    Callback<void(const TextList&)> take_;
    std::vector<TextList> kept_;
    std::size_t keptCharacters_ = 0;
};

}  // namespace fenrallo
