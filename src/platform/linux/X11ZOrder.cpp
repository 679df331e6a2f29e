#include "platform/linux/X11ZOrder.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// xcb replies are malloc'ed.
struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

// The actions of a _NET_WM_STATE request.
constexpr std::uint32_t StateRemove = 0;
constexpr std::uint32_t StateAdd = 1;
// The request comes from an ordinary application, not from a pager or task bar.
constexpr std::uint32_t SourceApplication = 1;

} // namespace

X11ZOrder::X11ZOrder(xcb_connection_t *connection)
    : m_connection(connection),
      m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
      m_activeWindow(internAtom("_NET_ACTIVE_WINDOW")), m_wmState(internAtom("_NET_WM_STATE")),
      m_wmStateAbove(internAtom("_NET_WM_STATE_ABOVE")), m_ownedWindows(connection)
{}

std::uint32_t X11ZOrder::internAtom(const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(m_connection, 0, std::uint16_t(std::strlen(name)), name);
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(m_connection, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

NativeWindowId X11ZOrder::foregroundWindow()
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, 0, m_root, m_activeWindow, XCB_ATOM_WINDOW, 0, 1);
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(m_connection, cookie, nullptr));
    if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < int(sizeof(xcb_window_t)))
        return 0;
    xcb_window_t window = XCB_WINDOW_NONE;
    std::memcpy(&window, xcb_get_property_value(reply.get()), sizeof window);
    return window;
}

void X11ZOrder::demote(NativeWindowId window)
{
    changeAbove(window, StateRemove);
}

void X11ZOrder::promote(NativeWindowId window)
{
    changeAbove(window, StateAdd);
}

void X11ZOrder::changeAbove(NativeWindowId window, std::uint32_t action)
{
    if (window == 0)
        return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window);
    message.type = m_wmState;
    message.data.data32[0] = action;
    message.data.data32[1] = m_wmStateAbove;
    message.data.data32[2] = 0;
    message.data.data32[3] = SourceApplication;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(m_connection);
}
