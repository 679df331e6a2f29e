#include "platform/DisplayServers.h"

// The operating system's own window system is always there for a desktop program.
DisplayServers DisplayServers::probe()
{
    return {true, true};
}
