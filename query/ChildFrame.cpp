#include "ChildFrame.h"

#include "DataLinks.h"
#include "app/AppStrings.h"
#include "app/MainFrame.h"
#include "app/SettingsTable.h"
#include "app/TorvaneDoc.h"
#include "platform/MessageBox.h"

#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/utils.h>

#include <fstream>
#include <sstream>

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, CMainFrame* mainFrame)
    : m_pMainFrame(mainFrame)
{
    Create(doc, view, mainFrame, wxID_ANY, wxEmptyString);
    m_pEditorPane = new wxPanel(this, wxID_ANY);
    m_pEditorPane->SetSizer(new wxBoxSizer(wxVERTICAL));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pEditorPane, 1, wxEXPAND);
    SetSizer(sizer);
}

CChildFrame::~CChildFrame()
{
    if (m_pConnection) {
        try {
            if (m_pConnection->GetState() & ado::adStateOpen)
                m_pConnection->Close();
        } catch (const std::exception&) {
            // Closing is best effort; the connection goes away with the window regardless.
        }
        m_pConnection.reset();
    }
    if (m_pMainFrame)
        m_pMainFrame->RemoveQueryWindow(this);
}

wxWindow* CChildFrame::GetEditorPane() const
{
    return m_pEditorPane;
}

void CChildFrame::SetEditorWindow(wxWindow* editor)
{
    m_pEditorPane->GetSizer()->Add(editor, 1, wxEXPAND);
    m_pEditorPane->Layout();
}

wxString CChildFrame::GetConnectionString() const
{
    if (!m_pConnection)
        return wxString();
    return wxString::FromUTF8(m_pConnection->GetConnectionString());
}

bool CChildFrame::OpenConnection(const std::optional<wxString>& connect, bool promptEdit,
                                 const std::optional<wxString>&)
{
    wxBusyCursor wait;
    m_pMainFrame->SetStatusMessage(strings::kEstablishingConnection);
    bool ok = Connect(connect, promptEdit);
    m_pMainFrame->SetStatusMessage(wxString());
    return ok;
}

bool CChildFrame::Connect(const std::optional<wxString>& connect, bool promptEdit)
{
    wxString message;
    try {
        std::optional<wxString> connectString = connect;
        if (connect) {
            m_pConnection = ado::Connection::Create();
        } else if (!m_pMainFrame->IsDsnLess()) {
            if (!promptEdit) {
                connectString = CDataLinks::PromptNew(this);
                if (connectString)
                    m_pConnection = ado::Connection::Create();
            } else {
                if (!m_pConnection)
                    throw _com_error(E_POINTER);
                connectString = CDataLinks::PromptEdit(this, GetConnectionString());
                if (!connectString)
                    m_pConnection.reset();
            }
        }
        if (m_pConnection) {
            wxBusyCursor wait;
            m_pMainFrame->SetStatusMessage(strings::kEstablishingConnection);
            wxString text = connectString ? *connectString : GetConnectionString();
            try {
                m_pConnection->PutConnectionTimeout(settings::ReadInt(settings::LoginTimeOut));
            } catch (const _com_error&) {
                // A driver without a login time-out still connects.
            }
            m_pConnection->Open(std::string(text.utf8_str()));
        }
    } catch (const _com_error& e) {
        message = wxString::FromUTF8(e.what());
    } catch (...) {
        message = strings::kErrorsOccurred;
    }
    if (m_pConnection && !(m_pConnection->GetState() & ado::adStateOpen) && !message.empty() &&
        !message.Contains("Operation was canceled.") && !message.Contains("Operation Canceled")) {
        if (TVMessageBox(message, TV_RETRY_CANCEL | wxICON_QUESTION, this) == wxID_RETRY)
            Connect(std::nullopt, true);
    }
    return m_pConnection && (m_pConnection->GetState() & ado::adStateOpen);
}

CTorvaneDoc* CChildFrame::OpenWindowOnSameConnection(const std::optional<wxString>& path)
{
    return m_pMainFrame->NewQueryWindow(GetConnectionString(), path, std::nullopt);
}

void CChildFrame::CancelQueryBatch()
{
    if (m_bExecuting) {
        m_bCancelling = 1;
        m_bStop = 1;
    }
}

void CChildFrame::StopFindInFiles()
{
    if (m_bFindInFiles)
        m_bStop = 1;
}

int GetPageFileUsagePercent()
{
    std::ifstream meminfo("/proc/meminfo");
    if (!meminfo)
        return -1;
    unsigned long long memTotal = 0, memAvailable = 0, swapTotal = 0, swapFree = 0;
    int found = 0;
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream in(line);
        std::string key;
        unsigned long long value = 0;
        in >> key >> value;
        if (key == "MemTotal:") { memTotal = value; ++found; }
        else if (key == "MemAvailable:") { memAvailable = value; ++found; }
        else if (key == "SwapTotal:") { swapTotal = value; ++found; }
        else if (key == "SwapFree:") { swapFree = value; ++found; }
    }
    const unsigned long long total = memTotal + swapTotal;
    if (found != 4 || total == 0)
        return -1;
    const double used = static_cast<double>(total) - static_cast<double>(memAvailable) - static_cast<double>(swapFree);
    return static_cast<int>(used * 100.0 / static_cast<double>(total));
}
