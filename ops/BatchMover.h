// The two move commands: every source entry goes into one directory under its own name.
// Neither command changes a list, so moved entries stay listed.
#pragma once

#include <functional>

#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "platform/PlatformServices.h"

namespace fenrallo {

// The text after the last backslash: the whole path when it has none, the empty text when it
// ends in one. A forward slash is an ordinary character.
Text lastPathComponent(const Text& path);

class BatchMover {
public:
    BatchMover(PlatformServices& platform, const SourceList& sources, const TargetList& targets,
               RunLog& log)
        : platform_(platform), sources_(sources), targets_(targets), log_(log)
    {
    }

    void moveToDefaultDirectory();
    void moveToSpecifiedDirectory();

private:
    // Moves every entry into the directory `destination` names when asked, and counts the
    // entries that really moved.
    int moveAll(const std::function<Text()>& destination);
    void reportMissingSource();

    PlatformServices& platform_;
    const SourceList& sources_;
    const TargetList& targets_;
    RunLog& log_;
};

}  // namespace fenrallo
