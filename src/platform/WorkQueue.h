#pragma once

#include <functional>

class QObject;

// Runs work away from the user-interface thread and reports back on it. A long size query
// goes through here, so that the windows keep repainting and answering while it runs.
class WorkQueue
{
public:
    virtual ~WorkQueue() = default;

    // Calls work() on a worker thread of its own, then done() on the thread that owns
    // context (the user-interface thread). done() is dropped when context is destroyed
    // first, or the queue. Whatever work() writes is visible to done().
    //
    // Work is never waited for: a query blocked in a filesystem that no longer answers keeps
    // its thread, and the next piece of work gets a thread of its own at once. So work must
    // not touch anything its caller may destroy; it owns what it uses (by shared pointer or
    // by value), and the caller abandons it by dropping done()'s effect.
    virtual void run(QObject *context, std::function<void()> work, std::function<void()> done) = 0;
};
