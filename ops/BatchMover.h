// The two move commands: every source entry goes into one directory under its own name; and the
// undo, which moves what the last batch moved back where it came from. No command adds or removes
// an entry, so moved entries stay listed, marked as moved. A click takes the entries and the
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
    // Runs `moves` as one batch, reports it in the log and marks the entries of the moves that
    // succeeded as moved, or, for an undo, as not moved.
    void run(MoveList moves, bool undo);
    void finish(bool undo, int moved);
    void reportMissingSource();

    PlatformServices& platform_;
    BatchRunner& runner_;
    SourceList& sources_;
    const TargetList& targets_;
    RunLog& log_;
    // What the last finished batch really moved; an undo leaves nothing. Memory only: closing the
    // program forgets it.
    MoveList record_;
    // The moves of the running batch that succeeded, appended by the worker: nothing else touches
    // it until the batch has ended.
    MoveList moved_;
};

}  // namespace fenrallo
