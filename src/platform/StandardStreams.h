#pragma once

// The process's standard descriptors (input, output, error) as the program found them.
namespace StandardStreams {

struct Found
{
    // Standard output was closed when the program started; it now leads to the null device.
    bool outputClosed = false;
};

// Call first in main(), before Qt or anything else opens a file. Reopens each standard
// descriptor that is closed on the null device, so that no file the program opens later
// takes its number and receives what was meant for standard output (a run log). Makes a
// reader that went away (a broken pipe) a failed write instead of a silent death by SIGPIPE.
// Nothing to do on Windows.
[[nodiscard]] Found prepare();

} // namespace StandardStreams
