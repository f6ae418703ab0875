#include "OtherClipboardOwner.h"

#include <X11/Xlib.h>

struct COtherClipboardOwner::Connection {
    Display* display = nullptr;
    Window window = 0;
    Atom clipboard = 0;
};

COtherClipboardOwner::COtherClipboardOwner() : m_connection(std::make_unique<Connection>())
{
    Connection& c = *m_connection;
    c.display = XOpenDisplay(nullptr);
    if (!c.display)
        return;
    c.window = XCreateSimpleWindow(c.display, DefaultRootWindow(c.display), 0, 0, 1, 1, 0, 0, 0);
    c.clipboard = XInternAtom(c.display, "CLIPBOARD", False);
    XSetSelectionOwner(c.display, c.clipboard, c.window, CurrentTime);
    // The display has taken the request, and sent its notice to the owner before, once this returns.
    XSync(c.display, False);
}

COtherClipboardOwner::~COtherClipboardOwner()
{
    if (m_connection->display)
        XCloseDisplay(m_connection->display);
}

bool COtherClipboardOwner::OwnsClipboard() const
{
    const Connection& c = *m_connection;
    return c.display && XGetSelectionOwner(c.display, c.clipboard) == c.window;
}
