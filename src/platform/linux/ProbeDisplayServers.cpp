#include "platform/DisplayServers.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool x11Reachable()
{
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display)
        return false;
    xcb_connection_t *connection = xcb_connect(display, nullptr);
    // xcb_connect never returns null; a failed connection reports its error instead.
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

// Where libwayland-client looks for the compositor. Without WAYLAND_DISPLAY Qt does not
// choose Wayland by itself, so a compositor socket found by its default name (say, over ssh
// to a machine with a desktop session) would not keep Qt from failing.
std::string waylandSocketPath()
{
    const char *name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name)
        return {};
    std::string display = name;
    if (display.front() == '/')
        return display;
    const char *runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (!runtimeDir || !*runtimeDir)
        return {};
    return std::string(runtimeDir) + '/' + display;
}

bool waylandReachable()
{
    const std::string path = waylandSocketPath();
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const bool reachable =
        ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(socket);
    return reachable;
}

} // namespace

DisplayServers DisplayServers::probe()
{
    return {x11Reachable(), waylandReachable()};
}
