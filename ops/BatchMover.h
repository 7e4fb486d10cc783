// The two move commands: every source entry goes into one directory under its own name; and the
// undo, which moves what the last batch moved back where it came from, if it is still the file
// the batch left there. No command adds or removes an entry: each tried stays listed, marked as
// moved or with why it stayed. A click takes the entries and the
// directory as they are at that moment; the moves themselves run on the batch runner's worker, so
// the window keeps answering, and the log reports when they are done.
#pragma once

#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "platform/BatchRunner.h"
#include "platform/PlatformServices.h"

namespace fenrallo {

// The text after the last backslash: the whole path when it has none, the empty text when it
// ends in one. A forward slash is an ordinary character.
Text lastPathComponent(const Text& path);

// One move of a batch: where an entry is, and where it is to go.
struct Move {
    Text from;
    Text to;
    // In the record, the file the move left at `to`; in an undo, the file expected at `from`.
    FileIdentity identity;
    // The entry's position in the source list at the revision its batch began with.
    int position = -1;
};
using MoveList = std::vector<Move>;

class BatchMover {
public:
    BatchMover(PlatformServices& platform, BatchRunner& runner, SourceList& sources,
               const TargetList& targets, RunLog& log)
        : platform_(platform), runner_(runner), sources_(sources), targets_(targets), log_(log)
    {
    }

    // Both do nothing while a batch runs: a click then never starts a second one.
    void moveToDefaultDirectory();
    void moveToSpecifiedDirectory();
    // Moves every entry the last batch moved back to where it came from, as a batch of its own,
    // and forgets that batch. False, and nothing done, when there is nothing to take back or a
    // batch runs.
    bool undoLastBatch();
    bool canUndo() const { return !record_.empty() && !runner_.busy(); }

private:
    // Hands every entry to the runner, bound for `directory`.
    void start(const Text& directory);
    // Runs `moves`, whose positions are of the list at `revision`, as one batch and reports it
    // in the log.
    void run(MoveList moves, bool undo, std::uint64_t revision);
    // Marks the entries of the outcomes up to `tried` not marked yet: moved, or stayed and why;
    // for an undo, the ones it moved back as untried. As the batch goes, only while the list is
    // as it was at the click; at the end, the rest.
    void mark(bool undo, int tried, bool end);
    // Marks the rest and keeps what a batch moved for the undo.
    void finish(bool undo, int moved);
    void reportMissingSource();

    PlatformServices& platform_;
    BatchRunner& runner_;
    SourceList& sources_;
    const TargetList& targets_;
    RunLog& log_;
    // What the last finished batch really moved, with the list's revision its positions are of;
    // an undo leaves nothing. Memory only: closing the program forgets it.
    MoveList record_;
    std::uint64_t recordRevision_ = 0;
    // The running batch's moves, and the outcome of each, which the worker writes before it says
    // it tried that entry: the user-interface thread reads only outcomes the runner said were
    // tried, and batch_ and tried_ once the batch has ended.
    MoveList batch_;
    std::vector<MoveOutcome> outcomes_;
    int tried_ = 0;
    int marked_ = 0;
    std::uint64_t batchRevision_ = 0;
};

}  // namespace fenrallo
