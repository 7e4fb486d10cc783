// The two move commands: every source entry goes into one directory under its own name.
// Neither command changes a list, so moved entries stay listed. A click takes the entries and
// the directory as they are at that moment; the moves themselves run on the batch runner's
// worker, so the window keeps answering, and the log reports when they are done.
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

class BatchMover {
public:
    BatchMover(PlatformServices& platform, BatchRunner& runner, const SourceList& sources,
               const TargetList& targets, RunLog& log)
        : platform_(platform), runner_(runner), sources_(sources), targets_(targets), log_(log)
    {
    }

    // Both do nothing while a batch runs: a click then never starts a second one.
    void moveToDefaultDirectory();
    void moveToSpecifiedDirectory();

private:
    // Hands every entry to the runner, bound for `directory`.
    void start(const Text& directory);
    void reportMissingSource();

    PlatformServices& platform_;
    BatchRunner& runner_;
    const SourceList& sources_;
    const TargetList& targets_;
    RunLog& log_;
};

}  // namespace fenrallo
