#pragma once

#include <QString>

// Outcome of writing a file. On failure, reason is a sentence for the user that names the
// path and gives the system's message; on success it is empty.
struct WriteResult
{
    bool ok = false;
    QString reason;
};
