// Any process of the session, one of lower integrity too, may send WM_COPYDATA: a block is read
// only through handedOverPaths, and what waits for a batch's end is bounded.
#include "app/HandOverInbox.h"

#include "platform/win32/HandOver.h"

namespace fenrallo {

namespace {

// As many full blocks as a batch keeps; a start handing over more lists them itself.
constexpr std::size_t kMostKeptCharacters = 32 * win32::kLongestHandOver;

}  // namespace

LRESULT HandOverInbox::receive(HWND window, LPARAM data, bool busy)
{
    std::optional<TextList> paths =
        win32::handedOverPaths(*reinterpret_cast<const COPYDATASTRUCT*>(data));
    const std::size_t size = reinterpret_cast<const COPYDATASTRUCT*>(data)->cbData / 2;
    if (!paths || (busy && keptCharacters_ + size > kMostKeptCharacters)) {
        return FALSE;
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
    if (busy) {
        keptCharacters_ += size;
        kept_.push_back(std::move(*paths));
    } else {
        take_(*paths);
    }
    return TRUE;
}

void HandOverInbox::batchEnded()
{
    const std::vector<TextList> kept = std::exchange(kept_, {});
    keptCharacters_ = 0;
    for (const TextList& paths : kept) {
        take_(paths);
    }
}

}  // namespace fenrallo
