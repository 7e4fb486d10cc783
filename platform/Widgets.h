// The widget operations the logic uses, one small interface per kind of control.
// Counts and positions are int: lists hold more than 32,767 entries without overflowing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Text.h"

namespace fenrallo {

// What the last batch that tried an entry made of it: nothing yet, moved, or stayed and why (a
// MoveOutcome reason).
struct EntryMark {
    enum class State : std::uint8_t { Untried, Moved, Stayed };
    State state = State::Untried;
    std::uint32_t reason = 0;

    friend bool operator==(const EntryMark&, const EntryMark&) = default;
};

class ListBox {
public:
    virtual ~ListBox() = default;

    virtual int count() const = 0;
    // The empty text for a position outside the list.
    virtual Text textAt(int position) const = 0;
    // position runs from 0 to count() inclusive; entries from position on move down by one.
    virtual void insertAt(int position, const Text& text) = 0;
    virtual void removeAt(int position) = 0;
    // -1 when nothing is selected.
    virtual int selected() const = 0;
    virtual void select(int position) = 0;
    // Sets the entry's own mark, which stays with it when entries above it come or go; a new
    // entry's is Untried.
    virtual void setMark(int position, EntryMark mark) = 0;

    // Brackets a run of inserts: the control stops redrawing and may reserve room for
    // `expectedInserts` more entries totalling `expectedChars` characters. Calls nest.
    virtual void beginBulkInsert(int expectedInserts, std::size_t expectedChars) = 0;
    virtual void endBulkInsert() = 0;
};

// Colour numbers have red in the low byte: 255 is pure red.
using Colour = std::uint32_t;

class TextBox {
public:
    virtual ~TextBox() = default;

    virtual Text text() const = 0;
    virtual void setText(const Text& text) = 0;
    virtual Colour textColour() const = 0;
    virtual void setTextColour(Colour colour) = 0;
};

class Label {
public:
    virtual ~Label() = default;

    virtual void setCaption(const Text& caption) = 0;
};

class WindowCaption {
public:
    virtual ~WindowCaption() = default;

    virtual Text caption() const = 0;
    virtual void setCaption(const Text& caption) = 0;
};

// Holds a list box's bulk-insert bracket open while `incoming` is inserted.
class BulkInsert {
public:
    BulkInsert(ListBox& list, const TextList& incoming) : list_(list)
    {
        std::size_t chars = 0;
        for (const Text& text : incoming) {
            chars += text.size() + 1;
        }
        const std::size_t limit = 0x7fffffff;
        list_.beginBulkInsert(static_cast<int>(incoming.size() < limit ? incoming.size() : limit),
                              chars);
    }
    ~BulkInsert() { list_.endBulkInsert(); }
    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

private:
    ListBox& list_;
};

}  // namespace fenrallo
