// The widget interfaces of platform/Widgets.h realised over window handles: a LISTBOX, the run
// log's EDIT, a STATIC label and a top-level window's caption. Each object only borrows its
// window; the window that created the control owns and destroys it.
#pragma once

#include <windows.h>

#include "platform/Widgets.h"

namespace fenrallo::win32 {

// The whole text of a window, read by length first so nothing is cut. The empty text on error.
Text windowText(HWND window);

class Win32ListBox final : public ListBox {
public:
    explicit Win32ListBox(HWND box) : box_(box) {}

    int count() const override;
    Text textAt(int position) const override;
    void insertAt(int position, const Text& text) override;
    void removeAt(int position) override;
    int selected() const override;
    void select(int position) override;
    // The mark is the entry's item data (itemDataOf), which an owner-drawn list box hands to the
    // drawing of each row.
    void setMark(int position, EntryMark mark) override;
    void beginBulkInsert(int expectedInserts, std::size_t expectedChars) override;
    void endBulkInsert() override;

private:
    HWND box_;
    int bulkDepth_ = 0;
};

// The text colour lives here, not in the control: an EDIT has no colour of its own, so its
// parent asks textColour() when the control paints (WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT).
class Win32TextBox final : public TextBox {
public:
    Win32TextBox(HWND box, Colour colour) : box_(box), colour_(colour) {}

    Text text() const override;
    void setText(const Text& text) override;
    Colour textColour() const override { return colour_; }
    void setTextColour(Colour colour) override;

private:
    HWND box_;
    Colour colour_;
};

class Win32Label final : public Label {
public:
    explicit Win32Label(HWND label) : label_(label) {}

    void setCaption(const Text& caption) override;

private:
    HWND label_;
};

class Win32WindowCaption final : public WindowCaption {
public:
    explicit Win32WindowCaption(HWND window) : window_(window) {}

    Text caption() const override;
    void setCaption(const Text& caption) override;

private:
    HWND window_;
};

// An entry's mark as List1's item data, and back: what its row drawing reads.
ULONG_PTR itemDataOf(EntryMark mark);
EntryMark markOf(ULONG_PTR itemData);

}  // namespace fenrallo::win32
