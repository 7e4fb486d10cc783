// In-memory stand-ins for the platform surface: a file system of known paths, list and text
// boxes backed by plain containers, and a record of every call the logic made.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/PlatformServices.h"
#include "platform/Widgets.h"

namespace fenrallo::fake {

class FakeListBox : public ListBox {
public:
    std::vector<Text> items;
    int selection = -1;
    mutable int textReads = 0;
    int bulkDepth = 0;
    int bulkBrackets = 0;
    int insertsOutsideBulk = 0;

    int count() const override { return static_cast<int>(items.size()); }
    Text textAt(int position) const override
    {
        ++textReads;
        return position >= 0 && position < count() ? items[static_cast<std::size_t>(position)]
                                                   : Text();
    }
    void insertAt(int position, const Text& text) override
    {
        if (position < 0 || position > count()) {
            throw std::out_of_range("insert past the end of the list");
        }
        if (bulkDepth == 0) {
            ++insertsOutsideBulk;
        }
        items.insert(items.begin() + position, text);
    }
    void removeAt(int position) override
    {
        items.erase(items.begin() + position);
        selection = -1;
    }
    int selected() const override { return selection; }
    void beginBulkInsert(int, std::size_t) override
    {
        ++bulkDepth;
        ++bulkBrackets;
    }
    void endBulkInsert() override { --bulkDepth; }
};

class FakeTextBox : public TextBox {
public:
    Text content = L"程序运行信息：";
    Colour colour = 255;
    int colourWrites = 0;

    Text text() const override { return content; }
    void setText(const Text& text) override { content = text; }
    Colour textColour() const override { return colour; }
    void setTextColour(Colour c) override
    {
        colour = c;
        ++colourWrites;
    }
};

struct Warning {
    Text prompt;
    Text title;
    bool operator==(const Warning&) const = default;
};

struct Move {
    Text from;
    Text to;
    bool operator==(const Move&) const = default;
};

// Files and folders exist as paths in `entries`; a move succeeds when the source exists and the
// destination does not, like the real call.
class FakePlatform : public PlatformServices {
public:
    enum class Kind { File, Folder, Hidden, System, ReadOnly };

    Text programDirectory = L"D:\\Tools";
    std::map<Text, Kind> entries;
    std::vector<Move> moves;
    std::vector<Text> launches;
    std::vector<Warning> warnings;
    int directoryReads = 0;

    Text ProgramDirectory() override
    {
        ++directoryReads;
        return programDirectory;
    }
    bool MoveWithoutReplace(const Text& from, const Text& to) override
    {
        moves.push_back({from, to});
        auto source = entries.find(from);
        if (source == entries.end() || entries.count(to) != 0) {
            return false;
        }
        const Kind kind = source->second;
        entries.erase(source);
        entries.emplace(to, kind);
        return true;
    }
    bool IsOrdinaryFile(const Text& path) override
    {
        auto entry = entries.find(path);
        return entry != entries.end() &&
               (entry->second == Kind::File || entry->second == Kind::ReadOnly);
    }
    void LaunchFileManager(const Text& commandLine) override { launches.push_back(commandLine); }
    void ShowWarning(const Text& prompt, const Text& title) override
    {
        warnings.push_back({prompt, title});
    }
};

}  // namespace fenrallo::fake
