// In-memory stand-ins for the platform surface: list and text boxes over plain containers, and a
// file system of known paths that records every call the logic makes.
#pragma once

#include <chrono>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "platform/BatchRunner.h"
#include "platform/PlatformServices.h"
#include "platform/Widgets.h"

namespace fenrallo::fake {

class FakeListBox : public ListBox {
public:
    explicit FakeListBox(TextList listed = {}) : items(std::move(listed)) {}

    TextList items;
    // The marks other than Untried, by the texts of their entries, which the source list lists
    // once each.
    std::map<Text, EntryMark> marks;
    int selection = -1;
    mutable int textReads = 0;

    int count() const override { return static_cast<int>(items.size()); }
    // Past the end the empty text, as the list box's own answer; before the start an exception.
    Text textAt(int position) const override
    {
        ++textReads;
        return position < count() ? items.at(static_cast<std::size_t>(position)) : Text();
    }
    void insertAt(int position, const Text& text) override
    {
        if (position < 0 || position > count()) {
            throw std::out_of_range("insert past the end of the list");
        }
        items.insert(items.begin() + position, text);
    }
    void removeAt(int position) override
    {
        marks.erase(items.at(position));
        items.erase(items.begin() + position);
        selection = -1;
    }
    int selected() const override { return selection; }
    void select(int position) override { selection = position; }
    void setMark(int position, EntryMark mark) override
    {
        const Text& text = items.at(static_cast<std::size_t>(position));
        mark.state == EntryMark::State::Untried ? void(marks.erase(text))
                                                : void(marks[text] = mark);
    }
    void beginBulkInsert(int, std::size_t) override {}
    void endBulkInsert() override {}
};

class FakeTextBox : public TextBox {
public:
    Text content = L"程序运行信息：";
    // The colour the box starts in, then every colour written to it.
    std::vector<Colour> colours{255};

    Text text() const override { return content; }
    void setText(const Text& text) override { content = text; }
    Colour textColour() const override { return colours.back(); }
    void setTextColour(Colour colour) override { colours.push_back(colour); }
};

// A call's two texts.
using Call = std::pair<Text, Text>;

// Files and folders exist as paths in `entries`, each a file of its own; a move succeeds when the
// source exists and the destination does not, like the real call, and says why not with the
// real call's errors. The real platform decides which paths are ordinary files (read-only ones
// are; folders, hidden and system ones are not) and which name the same file: here it is given.
class FakePlatform : public PlatformServices {
public:
    enum class Kind { File, Folder };
    // Every entry made is another file; a move keeps it.
    struct Entry {
        Entry(Kind made = Kind::File) : kind(made), identity{1, ++made_, 0} {}  // NOLINT
        Kind kind;
        FileIdentity identity;
        static inline std::uint64_t made_ = 0;
    };
    static constexpr std::uint32_t kNotFound = 2;
    static constexpr std::uint32_t kExists = 183;

    Text programDirectory = L"D:\\Tools";
    std::map<Text, Entry> entries;
    std::vector<Call> moves;
    TextList launches;
    std::vector<Call> warnings;
    // Each move takes `pause`, or waits for the batch to be stopped, then takes a moment to end
    // and fails; while `deaf`, a stop goes unheard.
    std::chrono::milliseconds pause{0};
    bool waitForStop = false;
    std::atomic<bool> deaf{false};
    std::atomic<int> waiting{0};
    std::atomic<int> endedAfterStop{0};

    Text ProgramDirectory() override { return programDirectory; }
    MoveOutcome MoveBackWithoutReplace(const Text& from, const Text& to,
                                       const FileIdentity& expected, const StopFlag& stop) override
    {
        if (entries.count(from) != 0 && entries.at(from).identity != expected) {
            moves.push_back({from, to});
            return {false, kReasonNotTheFileMoved, {}};
        }
        return MoveWithoutReplace(from, to, stop);
    }
    MoveOutcome MoveWithoutReplace(const Text& from, const Text& to, const StopFlag& stop) override
    {
        moves.push_back({from, to});
        std::this_thread::sleep_for(pause);
        if (waitForStop) {
            for (++waiting; !stop || deaf; std::this_thread::yield()) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ++endedAfterStop;
            return {};
        }
        // The real platform knows other spellings of one path too.
        const std::uint32_t reason = from == to                 ? kReasonMovedOntoItself
                                     : entries.count(from) == 0 ? kNotFound
                                     : entries.count(to) != 0   ? kExists
                                                                : 0;
        if (reason == 0) {
            entries.emplace(to, entries.at(from));
            entries.erase(from);
        }
        return {reason == 0, reason, reason == 0 ? entries.at(to).identity : FileIdentity{}};
    }
    bool IsOrdinaryFile(const Text& path) override
    {
        return entries.count(path) != 0 && entries.at(path).kind == Kind::File;
    }
    void LaunchFileManager(const Text& commandLine) override { launches.push_back(commandLine); }
    void ShowWarning(const Text& prompt, const Text& title) override
    {
        warnings.push_back({prompt, title});
    }
};

// Runs a batch at once on the calling thread, or keeps it until finish() while `holding`; tells
// of its progress after every second entry.
class FakeBatchRunner : public BatchRunner, private BatchProgress {
public:
    bool holding = false;

    bool busy() const override { return static_cast<bool>(work_); }
    void run(Work work, Finished finished, Advanced advanced) override
    {
        work_ = std::move(work);
        finished_ = std::move(finished);
        advanced_ = std::move(advanced);
        holding ? void() : finish();
    }
    void finish()
    {
        const int result = work_(*this);
        work_ = nullptr;
        finished_(result);
    }

private:
    const StopFlag& stop() const override { return stop_; }
    void advance(int tried, int, int) override { tried % 2 == 0 ? advanced_(tried) : void(); }

    StopFlag stop_{false};
    Work work_;
    Finished finished_;
    Advanced advanced_;
};

}  // namespace fenrallo::fake
