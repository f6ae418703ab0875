#include "InstanceChannel.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/sckipc.h>
#include <wx/snglinst.h>
#include <wx/utils.h>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include <cerrno>
#include <unistd.h>

namespace {

const char* const kTopic = "open";

// The folder must be ours and closed to everyone else; a folder that someone else made or
// can write to is refused rather than trusted.
bool MakePrivateFolder(const wxString& path)
{
    const wxScopedCharBuffer name = path.fn_str();
    if (mkdir(name, 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st{};
    if (lstat(name, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return false;
    if ((st.st_mode & 077) != 0 && chmod(name, 0700) != 0)
        return false;
    return true;
}

class CChannelConnection : public wxTCPConnection {
public:
    explicit CChannelConnection(std::function<void(const wxString&)> handler) : m_handler(std::move(handler)) {}

    bool OnExecute(const wxString&, const void* data, size_t size, wxIPCFormat format) override
    {
        wxString command = GetTextFromData(data, size, format);
        // The sender is answered first; the command runs once this call has returned.
        if (wxAppConsole* app = wxAppConsole::GetInstance(); app && m_handler) {
            auto handler = m_handler;
            app->CallAfter([handler, command] { handler(command); });
        }
        return true;
    }

    bool OnDisconnect() override
    {
        delete this;
        return true;
    }

private:
    std::function<void(const wxString&)> m_handler;
};

class CChannelServer : public wxTCPServer {
public:
    explicit CChannelServer(std::function<void(const wxString&)> handler) : m_handler(std::move(handler)) {}

    wxConnectionBase* OnAcceptConnection(const wxString& topic) override
    {
        if (topic != kTopic)
            return nullptr;
        return new CChannelConnection(m_handler);
    }

private:
    std::function<void(const wxString&)> m_handler;
};

// A socket is not a regular file, so the library's file test does not see it.
bool SocketExists(const wxString& path)
{
    struct stat st{};
    return !path.empty() && lstat(path.fn_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace

CInstanceChannel::CInstanceChannel() = default;

CInstanceChannel::~CInstanceChannel()
{
    Stop();
}

wxString CInstanceChannel::PrivateFolder()
{
    wxString runtime;
    wxString folder;
    if (wxGetEnv("XDG_RUNTIME_DIR", &runtime) && wxIsAbsolutePath(runtime) && wxDirExists(runtime))
        folder = runtime + "/torvane";
    else
        folder = wxString::Format("/tmp/torvane-%lu", static_cast<unsigned long>(getuid()));
    if (!MakePrivateFolder(folder))
        return wxString();
    return folder;
}

wxString CInstanceChannel::SocketPath()
{
    wxString folder = PrivateFolder();
    return folder.empty() ? wxString() : folder + "/instance.sock";
}

bool CInstanceChannel::SendCommand(const wxString& command)
{
    wxString path = SocketPath();
    if (!SocketExists(path))
        return false;
    wxTCPClient client;
    std::unique_ptr<wxConnectionBase> connection(client.MakeConnection("localhost", path, kTopic));
    if (!connection)
        return false;
    bool sent = connection->Execute(command);
    connection->Disconnect();
    return sent;
}

bool CInstanceChannel::Listen(std::function<void(const wxString&)> handler)
{
    if (m_server)
        return true;
    wxString folder = PrivateFolder();
    if (folder.empty())
        return false;
    // The lock decides who listens, so that a second program never removes the socket of the first.
    auto lock = std::make_unique<wxSingleInstanceChecker>();
    if (!lock->Create("instance.lock", folder) || lock->IsAnotherRunning())
        return false;
    auto server = std::make_unique<CChannelServer>(std::move(handler));
    if (!server->Create(folder + "/instance.sock"))
        return false;
    m_lock = std::move(lock);
    m_server = std::move(server);
    return true;
}

void CInstanceChannel::Stop()
{
    if (!m_server)
        return;
    m_server.reset();
    // The server usually removes its socket itself; what is left goes quietly.
    wxString path = SocketPath();
    std::error_code error;
    if (!path.empty())
        std::filesystem::remove(path.utf8_string(), error);
    m_lock.reset();
}
