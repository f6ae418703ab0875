// Another program on the test display that takes the clipboard over: a second connection to
// the display owns the clipboard selection while the object lives. The program that owned it
// before learns of it from the display's notice, an event it handles when it next looks at its
// events. Main thread only; without a display it owns nothing.
#pragma once

#include <memory>

class COtherClipboardOwner {
public:
    COtherClipboardOwner();
    ~COtherClipboardOwner();
    COtherClipboardOwner(const COtherClipboardOwner&) = delete;
    COtherClipboardOwner& operator=(const COtherClipboardOwner&) = delete;

    // Whether the display names this connection as the clipboard's owner.
    bool OwnsClipboard() const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};
