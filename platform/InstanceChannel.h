// Single instance: the first program of a user listens on a private Unix socket in the user's
// runtime folder; a second start hands its open command ("[open(\"path\")]") to the first over
// that socket and exits. Stands in for the shell's DDE conversation with a running program.
#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>

class wxTCPServer;
class wxSingleInstanceChecker;

class CInstanceChannel {
public:
    CInstanceChannel();
    ~CInstanceChannel();
    CInstanceChannel(const CInstanceChannel&) = delete;
    CInstanceChannel& operator=(const CInstanceChannel&) = delete;

    // The private folder: $XDG_RUNTIME_DIR/torvane, or /tmp/torvane-<uid> when the runtime
    // folder is not set; created with mode 0700. Empty when it exists but belongs to someone
    // else or is open to others, so that nobody can listen in or impersonate the program.
    static wxString PrivateFolder();
    static wxString SocketPath();

    // Sends one command to the program listening on the socket; false when none answers.
    static bool SendCommand(const wxString& command);

    // Becomes the listening instance. Each command received is handed to the handler on the UI
    // thread after the sender has been answered. False when another instance already listens
    // or the socket cannot be made.
    bool Listen(std::function<void(const wxString&)> handler);
    bool IsListening() const { return m_server != nullptr; }
    void Stop();

private:
    std::unique_ptr<wxSingleInstanceChecker> m_lock;
    std::unique_ptr<wxTCPServer> m_server;
};
