#include "platform/StandardStreams.h"

// Windows gives a desktop program its streams as they are (CommandLineOutput finds a
// console where they lead nowhere), and has no SIGPIPE.
StandardStreams::Found StandardStreams::prepare()
{
    return {};
}
