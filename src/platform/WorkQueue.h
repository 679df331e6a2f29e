#pragma once

#include <functional>

class QObject;

// Runs work away from the user-interface thread and reports back on it. A long size query
// goes through here, so that the windows keep repainting and answering while it runs.
class WorkQueue
{
public:
    virtual ~WorkQueue() = default;

    // Calls work() on a worker thread, then done() on the thread that owns context (the
    // user-interface thread). done() is dropped when context is destroyed first. Whatever work()
    // writes is visible to done(). Work that has started is never abandoned: the queue's
    // owner waits for it before the queue goes away, so work must end promptly once the
    // caller asks it to (for a size query, by cancelling it).
    virtual void run(QObject *context, std::function<void()> work, std::function<void()> done) = 0;
};
