// Work that would keep the window from answering, run away from the user-interface thread: a
// batch of moves runs on a worker of its own and reports back on the user-interface thread.
#pragma once

#include "platform/Callback.h"
#include "platform/PlatformServices.h"

namespace fenrallo {

// What the work sees of the batch it runs, from its own thread.
class BatchProgress {
public:
    virtual ~BatchProgress() = default;

    // Set once the batch is to end after the entry in progress (the window is closing).
    virtual const StopFlag& stop() const = 0;
    // After each entry: how many were tried and how many moved so far, of how many.
    virtual void advance(int tried, int moved, int total) = 0;
};

class BatchRunner {
public:
    // Runs on the worker; returns how many entries moved.
    using Work = Callback<int(BatchProgress&)>;
    // Runs on the user-interface thread once the work is done, with what it returned.
    using Finished = Callback<void(int moved)>;
    // Runs on the user-interface thread now and then while the work goes on, with how many
    // entries were tried so far: the work wrote what became of them before it said so.
    using Advanced = Callback<void(int tried)>;

    virtual ~BatchRunner() = default;

    // True from run() until `finished` has been called.
    virtual bool busy() const = 0;
    // Starts `work` and returns at once. Only one batch runs at a time: callers check busy().
    virtual void run(Work work, Finished finished, Advanced advanced) = 0;
};

}  // namespace fenrallo
