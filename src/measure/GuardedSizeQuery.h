#pragma once

#include "platform/SizeQuery.h"

#include <QString>

#include <functional>
#include <memory>

// One size query of a pass, from the target path as typed to the answer, that never throws:
// a path that names no file (a NUL character, an unpaired surrogate) is answered as not
// found without asking the service, and an exception from making or asking the service is
// answered as a failure with its message, so neither can escape the timer's tick.
class GuardedSizeQuery
{
public:
    enum class Kind { File, Folder };
    using Factory = std::function<std::unique_ptr<SizeQuery>()>;

    // Makes a new service with createService (released before returning) and asks it for
    // the size of targetText. Failures come back in the result, with a reason naming the
    // target: SizeError::NotFound for a path that names no file, SizeError::Other for an
    // exception.
    [[nodiscard]] static SizeResult ask(const Factory &createService, Kind kind,
                                        const QString &targetText);
};
