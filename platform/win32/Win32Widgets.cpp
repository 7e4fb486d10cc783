// Widget operations as window messages. List boxes are addressed with int positions: the
// messages carry them in a full WPARAM, so lists past 32,767 entries work.
#include "platform/win32/Win32Widgets.h"

#include <algorithm>

namespace fenrallo::win32 {

namespace {

// Below this many inserts the list box grows fast enough on its own; reserving only pays when a
// drop brings thousands of paths.
constexpr int kReserveFromInserts = 256;

}  // namespace

Text windowText(HWND window)
{
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) {
        return Text();
    }
    Text text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

int Win32ListBox::count() const
{
    const LRESULT entries = SendMessageW(box_, LB_GETCOUNT, 0, 0);
    return entries < 0 ? 0 : static_cast<int>(entries);
}

Text Win32ListBox::textAt(int position) const
{
    if (position < 0) {
        return Text();
    }
    const WPARAM index = static_cast<WPARAM>(position);
    const LRESULT length = SendMessageW(box_, LB_GETTEXTLEN, index, 0);
    if (length <= 0) {
        return Text();
    }
    Text text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(box_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    if (copied < 0) {
        return Text();
    }
    text.resize(static_cast<std::size_t>(std::min(copied, length)));
    return text;
}

void Win32ListBox::insertAt(int position, const Text& text)
{
    SendMessageW(box_, LB_INSERTSTRING, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32ListBox::removeAt(int position)
{
    SendMessageW(box_, LB_DELETESTRING, static_cast<WPARAM>(position), 0);
}

int Win32ListBox::selected() const
{
    // LB_ERR is -1, the interface's "nothing selected".
    return static_cast<int>(SendMessageW(box_, LB_GETCURSEL, 0, 0));
}

void Win32ListBox::select(int position)
{
    SendMessageW(box_, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

ULONG_PTR itemDataOf(EntryMark mark)
{
    // Two bits of state under the reason, which loses its top two bits: no reason uses them.
    return static_cast<ULONG_PTR>(mark.reason & 0x3fffffffU) << 2U |
           static_cast<ULONG_PTR>(mark.state);
}

EntryMark markOf(ULONG_PTR itemData)
{
    const auto state = static_cast<EntryMark::State>(itemData & 3U);
    return {state > EntryMark::State::Stayed ? EntryMark::State::Untried : state,
            static_cast<std::uint32_t>(itemData >> 2U)};
}

void Win32ListBox::setMark(int position, EntryMark mark)
{
    const auto index = static_cast<WPARAM>(position);
    SendMessageW(box_, LB_SETITEMDATA, index, static_cast<LPARAM>(itemDataOf(mark)));
    // The list box does not redraw an entry whose data changed. Only a row in sight is painted
    // again: under Wine each invalidation is a trip to the window server, which a batch that
    // marks ten thousand entries at once would make the window wait for.
    RECT row{};
    RECT client{};
    if (SendMessageW(box_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR &&
        GetClientRect(box_, &client) && IntersectRect(&row, &row, &client)) {
        InvalidateRect(box_, &row, FALSE);
    }
}

void Win32ListBox::beginBulkInsert(int expectedInserts, std::size_t expectedChars)
{
    if (bulkDepth_++ > 0) {
        return;
    }
    // Repainting after every insert makes tens of thousands of inserts take minutes.
    SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
    if (expectedInserts >= kReserveFromInserts) {
        const std::size_t maxChars = 0x7fffffff / sizeof(wchar_t);
        const std::size_t bytes = std::min(expectedChars, maxChars) * sizeof(wchar_t);
        SendMessageW(box_, LB_INITSTORAGE, static_cast<WPARAM>(expectedInserts),
                     static_cast<LPARAM>(bytes));
    }
}

void Win32ListBox::endBulkInsert()
{
    if (bulkDepth_ == 0 || --bulkDepth_ > 0) {
        return;
    }
    SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
    // Turning redraw back on does not repaint what changed while it was off.
    InvalidateRect(box_, nullptr, TRUE);
}

Text Win32TextBox::text() const
{
    return windowText(box_);
}

void Win32TextBox::setText(const Text& text)
{
    SetWindowTextW(box_, text.c_str());
}

void Win32TextBox::setTextColour(Colour colour)
{
    colour_ = colour;
    InvalidateRect(box_, nullptr, TRUE);
}

void Win32Label::setCaption(const Text& caption)
{
    SetWindowTextW(label_, caption.c_str());
}

Text Win32WindowCaption::caption() const
{
    return windowText(window_);
}

void Win32WindowCaption::setCaption(const Text& caption)
{
    SetWindowTextW(window_, caption.c_str());
}

}  // namespace fenrallo::win32
