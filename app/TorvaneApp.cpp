#include "TorvaneApp.h"

#include "AppStrings.h"
#include "CommandLineMessages.h"
#include "common/CommandIds.h"
#include "common/FileHelpers.h"
#include "common/SettingsTable.h"
#include "common/UnexpectedError.h"
#include "editor/TorvaneDoc.h"
#include "MainFrame.h"
#include "platform/MessageBox.h"
#include "platform/MessageLog.h"
#include "platform/PrintDestinations.h"
#include "platform/PrintSetup.h"
#include "platform/ShellRegistration.h"
#include "query/ChildFrame.h"
#include "querycore/ConnectStringUtil.h"
#include "querycore/DataLinkFile.h"
#include "TorvaneCommandLineInfo.h"
#include "TorvaneDocManager.h"
#include "TorvaneDocTemplate.h"
#include "WindowPlacement.h"

#include <wx/clipbrd.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/filefn.h>
#include <wx/printdlg.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <cstdio>

namespace {

// System information tools of the desktops, in order of preference.
const char* const kSystemInfoTools[] = {"hardinfo", "gnome-system-monitor", "plasma-systemmonitor",
                                        "xfce4-taskmanager"};

// The path inside "[open(\"path\")]"; empty when there is none. A path may itself hold a
// double quote, so the command's closing "\")]" ends it when present.
wxString PathOfOpenCommand(const wxString& command)
{
    wxString rest = command.Mid(7);
    if (rest.EndsWith("\")]"))
        return rest.Left(rest.length() - 3);
    size_t quote = rest.find('"');
    if (quote == wxString::npos)
        return wxString();
    return rest.Left(quote);
}

// What was copied (the clipboard's and the editor's selected text, the primary selection) stays
// with the clipboard until the display takes it back, which it never does once the program has
// gone: both are given up here, so that the clipboard deletes what it held. When another program
// took one over, the display's notice may still wait among the events; handling it deletes the rest.
void ReleaseClipboard()
{
    wxClipboard* clipboard = wxClipboard::Get();
    for (bool primary : {true, false}) {
        clipboard->UsePrimarySelection(primary);
        if (clipboard->Open()) {
            clipboard->Clear();
            clipboard->Close();
        }
    }
    wxEventLoopGuarantor loop;
    wxEventLoopBase::GetActive()->YieldFor(wxEVT_CATEGORY_CLIPBOARD);
}

} // namespace

CTorvaneApp::CTorvaneApp() : m_services(startup::Services::Default()), m_nCmdShow(SW_SHOWNORMAL)
{
    SetAppName("torvane");
    SetAppDisplayName("Torvane");
    SetVendorName("Ostrevan");
    Bind(wxEVT_MENU, &CTorvaneApp::OnFileOpen, this, ID_FILE_OPEN);
    Bind(wxEVT_MENU, &CTorvaneApp::OnFilePrintSetup, this, ID_FILE_PRINT_SETUP);
}

CTorvaneApp::~CTorvaneApp() = default;

bool CTorvaneApp::OnInit()
{
    std::vector<wxString> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    SetCommandLine(args);

    // A second start with a file hands it to the program already running and ends.
    if (std::optional<wxString> path = ShellFileArgument()) {
        if (CInstanceChannel::SendCommand("[open(\"" + *path + "\")]")) {
            m_bHandedOver = true;
            return true;
        }
    }
    if (!InitInstance()) {
        ExitInstance();
        ShutDown();
        return false;
    }
    return true;
}

int CTorvaneApp::OnRun()
{
    if (m_bHandedOver)
        return 0;
    const int code = wxApp::OnRun();
    return code != 0 ? code : m_nExitCode;
}

void CTorvaneApp::OnCommandLineRunEnded(bool failed)
{
    if (failed)
        m_nExitCode = 1;
}

int CTorvaneApp::OnExit()
{
    int code = ExitInstance();
    ShutDown();
    return code;
}

void CTorvaneApp::OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                                  const wxChar* msg)
{
    const wxString condition(cond);
    if (condition.Contains("itemid < 0x7fff"))
        return;
    std::fprintf(stderr, "%s(%d): assert \"%s\" failed in %s(): %s\n", wxString(file).utf8_str().data(), line,
                 condition.utf8_str().data(), wxString(func).utf8_str().data(), wxString(msg).utf8_str().data());
}

bool CTorvaneApp::OnExceptionInMainLoop()
{
    const std::exception_ptr error = std::current_exception();
    LogUnexpectedError("main loop", error);
    TVMessageBox(UnexpectedErrorText(error), wxOK | wxICON_STOP);
    return true;
}

void CTorvaneApp::ProcessPendingEvents()
{
    for (;;) {
        try {
            wxApp::ProcessPendingEvents();
            return;
        } catch (...) {
            OnExceptionInMainLoop();
        }
    }
}

int CTorvaneApp::ExitInstance()
{
    try {
        if (!m_bUnregistered)
            SaveRecentFileList();
        return wxApp::OnExit();
    } catch (...) {
        // On the way out there is no one left to tell; the stored list stays as it was.
        return 0;
    }
}

void CTorvaneApp::ParseArguments(CTorvaneCommandLineInfo& info) const
{
    std::vector<wxString> argv{wxString("torvane")};
    argv.insert(argv.end(), m_args.begin(), m_args.end());
    ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());
}

std::optional<wxString> CTorvaneApp::ShellFileArgument() const
{
    CTorvaneCommandLineInfo info;
    ParseArguments(info);
    if (info.m_nShellCommand != CCommandLineInfo::FileOpen || !wxFileName::FileExists(info.m_strFileName))
        return std::nullopt;
    wxFileName fn(info.m_strFileName);
    fn.MakeAbsolute();
    return fn.GetFullPath();
}

bool CTorvaneApp::InitInstance()
{
    delete wxLog::SetActiveTarget(new CMessageLog);
    {
        wxBusyCursor wait;
        if (!CheckOsVersion())
            return false;
        // The COM stand-in and the linked-in grid need no initialisation of their own here.

        wxString raw;
        for (const wxString& arg : m_args)
            raw += (raw.empty() ? "" : " ") + arg;
        m_bUnregisterMode = startup::IsUnregisterRequested(raw);
        if (!m_bUnregisterMode) {
            if (!CheckAdoInstalled()) {
                TVMessageBox(strings::kAdoMissing, wxOK | wxICON_STOP);
                return false;
            }
            if (!CheckGridRegistered()) {
                TVMessageBox(strings::kGridNotRegistered, wxOK | wxICON_STOP);
                return false;
            }
        }

        // Every setting lives in the one store from here on.
        CSettingsStore::Get();
        m_bMsInfoFound = FindMsInfoPath();

        m_pDocManager = new CTorvaneDocManager;
        m_pDocManager->Initialize();
        LoadRecentFileList();

        if (!m_bUnregisterMode) {
            m_mruDataLinkFiles.AddList(std::make_unique<CMruFileList>(
                ID_MRU_DATA_LINK_FIRST, settings::RecentDataLinkFiles, settings::ReadInt(settings::MaxDlkFiles)));
            m_mruDsnLessLogins.AddList(std::make_unique<CMruFileList>(
                ID_MRU_DSN_LESS_FIRST, settings::RecentDsnLessLogins, settings::ReadInt(settings::MaxDsnLessLogins)));
        }

        m_pDocTemplate = new CTorvaneDocTemplate(m_pDocManager, nullptr);

        m_pMainFrame = new CMainFrame;
        if (!m_pMainFrame->Create(m_pDocManager))
            return false;
        m_pDocTemplate->SetMainFrame(m_pMainFrame);
        SetTopWindow(m_pMainFrame);

        m_pMainFrame->DragAcceptFiles(true);
        m_channel.Listen([this](const wxString& command) {
            if (m_pMainFrame)
                m_pMainFrame->OnDDEExecute(command);
        });
        if (settings::ReadInt(settings::DefaultEditor) != 0)
            SetDefaultEditor(true);
    }

    if (m_args.empty()) {
        RestoreWindowPlacement(*m_pMainFrame, m_nCmdShow);
        RunStartupAction();
        return true;
    }
    return ParseCommandLineOptions();
}

void CTorvaneApp::OnMainFrameDestroyed(CMainFrame* frame)
{
    if (m_pMainFrame != frame)
        return;
    m_pMainFrame = nullptr;
    if (m_pDocTemplate)
        m_pDocTemplate->SetMainFrame(nullptr);
}

void CTorvaneApp::ShutDown()
{
    m_channel.Stop();
    m_mruDataLinkFiles.Reset();
    m_mruDsnLessLogins.Reset();
    // Documents first, so that their windows close while the main frame still stands.
    if (m_pDocManager)
        m_pDocManager->CloseDocuments(true);
    if (m_pMainFrame) {
        m_pMainFrame->Destroy();
        SetTopWindow(nullptr);
        DeletePendingObjects();
    }
    if (m_pDocManager) {
        delete m_pDocManager;
        m_pDocManager = nullptr;
        m_pDocTemplate = nullptr;
    }
    ReleaseClipboard();
}

bool CTorvaneApp::CheckOsVersion()
{
    if (startup::IsOsVersionSupported(m_services.kernelRelease(), m_services.gtkMajor()))
        return true;
    TVMessageBox(strings::kSystemRequirements, wxOK | wxICON_INFORMATION);
    return false;
}

bool CTorvaneApp::CheckAdoInstalled()
{
    try {
        wxString version;
        if (!m_services.adoVersion(version))
            return false;
        version.Trim(true).Trim(false);
        m_strAdoVersion = version;
        return startup::IsAdoVersionAccepted(version);
    } catch (...) {
        return false;
    }
}

bool CTorvaneApp::CheckGridRegistered()
{
    try {
        return m_services.gridAvailable();
    } catch (...) {
        return false;
    }
}

bool CTorvaneApp::FindMsInfoPath()
{
    wxPathList path;
    path.AddEnvList("PATH");
    for (const char* tool : kSystemInfoTools) {
        wxString found = path.FindAbsoluteValidPath(tool);
        if (!found.empty()) {
            m_strMsInfoPath = found;
            return true;
        }
    }
    m_strMsInfoPath.clear();
    return false;
}

void CTorvaneApp::LoadRecentFileList()
{
    wxFileHistory* history = m_pDocManager->GetFileHistory();
    if (!history)
        return;
    const settings::RecentListKey& key = settings::RecentFileList;
    std::vector<wxString> entries =
        CMruFileList::LoadEntries(key.section, key.entryFormat, history->GetMaxFiles());
    // The history puts each file on top, so the oldest goes in first.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        history->AddFileToHistory(*entry);
}

void CTorvaneApp::SaveRecentFileList()
{
    wxFileHistory* history = m_pDocManager ? m_pDocManager->GetFileHistory() : nullptr;
    if (!history)
        return;
    std::vector<wxString> entries;
    for (size_t i = 0; i < history->GetCount(); ++i)
        entries.push_back(history->GetHistoryFile(i));
    const settings::RecentListKey& key = settings::RecentFileList;
    CMruFileList::SaveEntries(key.section, key.entryFormat, entries);
}

void CTorvaneApp::RunStartupAction()
{
    switch (settings::ReadInt(settings::Startup)) {
    case 0:
        m_pMainFrame->NewQueryWindow();
        break;
    case 1:
        m_pMainFrame->ConnectWithDataLinkFile(wxString());
        break;
    case 3:
        m_pMainFrame->m_strDsnLessLogin = settings::ReadString(settings::StartupDsnLessString);
        m_pMainFrame->NewQueryWindow(
            wxString::FromUTF8(BuildMsdasqlConnectString(m_pMainFrame->m_strDsnLessLogin.utf8_string())));
        break;
    default:
        break;
    }
}

bool CTorvaneApp::ParseCommandLineOptions()
{
    CTorvaneCommandLineInfo info;
    ParseArguments(info);
    switch (info.GetStartAction()) {
    case CTorvaneCommandLineInfo::Unregister:
        return Unregister();
    case CTorvaneCommandLineInfo::ShowUsage:
        command_line::ShowUsage();
        return false;
    case CTorvaneCommandLineInfo::ShellCommand:
        RestoreWindowPlacement(*m_pMainFrame, m_nCmdShow);
        m_pMainFrame->Update();
        if (info.m_nShellCommand == CCommandLineInfo::FileOpen)
            OpenDocumentFile(info.m_strFileName);
        return true;
    case CTorvaneCommandLineInfo::ProcessOptions:
        break;
    }
    return ProcessCommandLineOptions(info);
}

bool CTorvaneApp::ProcessCommandLineOptions(const CTorvaneCommandLineInfo& info)
{
    const CommandLineRequest request = info.GetRequest();
    if (command_line::ShowRefusal(request))
        return false;

    RestoreWindowPlacement(*m_pMainFrame, m_nCmdShow);
    m_pMainFrame->Update();

    wxString connect = request.connectString;
    if (!request.dataLinkFile.empty()) {
        connect = DataLinkFile::ConnectFromCommandLine(request.dataLinkFile);
        if (connect.empty())
            return true;
    }
    // Without a provider the data link dialog asks for the connection.
    std::optional<wxString> connectString;
    if (HasProviderKeyword(connect.utf8_string()))
        connectString = connect;

    wxDocument* doc = request.files.empty()
                          ? m_pMainFrame->NewQueryWindow(connectString)
                          : OpenFilesFromCommandLine(connectString, request.files, request.execute, request.batch);
    if (doc && !request.dataLinkFile.empty())
        if (CMruFileList* list = m_mruDataLinkFiles.GetList(0))
            list->Add(request.dataLinkFile);
    return true;
}

namespace {

CChildFrame* WindowOf(wxDocument* doc)
{
    auto* queryDoc = dynamic_cast<CTorvaneDoc*>(doc);
    return QueryFrameOf(queryDoc);
}

} // namespace

wxDocument* CTorvaneApp::OpenFilesFromCommandLine(const std::optional<wxString>& connect,
                                                  const std::vector<wxString>& files, bool execute,
                                                  const std::optional<CommandLineBatch>& batch)
{
    wxDocument* last = nullptr;
    bool allOpened = true;
    try {
        bool first = true;
        for (const wxString& file : files) {
            wxDocument* doc = nullptr;
            // The window just opened is the active one, also before the desktop has said so.
            if (first)
                doc = m_pMainFrame->NewQueryWindow(connect, file);
            else if (CChildFrame* active = WindowOf(last))
                doc = active->OpenWindowOnSameConnection(file);
            first = false;
            if (!doc) {
                allOpened = false;
                break;
            }
            last = doc;
            if (m_pMainFrame->GetConnectionCount() > 1)
                m_pMainFrame->CascadeWindows();
        }
    } catch (...) {
        allOpened = false;
        TVMessageBox(strings::kErrorsOccurred, wxOK | wxICON_STOP);
    }
    // Files opened after the data link dialog asked for the connection are only opened.
    if (!connect)
        execute = false;
    if (!allOpened || !execute || !last)
        return last;

    std::vector<CChildFrame*> runs;
    if (batch && !batch->outputPath.empty()) {
        if (CChildFrame* active = WindowOf(last))
            runs.push_back(active);
    } else {
        runs = m_pMainFrame->GetQueryWindows();
    }
    // Minimised before the runs start, so that even a run that ends at once finds the main
    // window as the command line left it.
    m_pMainFrame->Iconize(true);
    for (CChildFrame* frame : runs) {
        frame->CloseWhenRunEnds();
        if (batch && !batch->outputPath.empty()) {
            CSaveOptions options;
            options.format = batch->format;
            options.path = batch->outputPath.utf8_string();
            options.delimiter = batch->delimiter.utf8_string();
            options.exportToExcel = batch->openInExcel;
            options.publish = batch->publish;
            frame->GetSaveAs().SetSaveOptions(options);
        }
        frame->GetExecution().ExecuteQuery();
        frame->Refresh();
    }
    return last;
}

bool CTorvaneApp::Unregister()
{
    SetDefaultEditor(false);
    CSettingsStore::Get().DeleteAll();
    m_bUnregistered = true;
    TVMessageBox(strings::kUnregistered, wxOK | wxICON_INFORMATION);
    return false;
}

wxDocument* CTorvaneApp::OpenDocumentFile(const wxString& file)
{
    wxBusyCursor wait;
    wxFileName full(file);
    full.MakeAbsolute();
    const wxString path = full.GetFullPath();
    try {
        if (!m_pMainFrame)
            return nullptr;
        CChildFrame* active = m_pMainFrame->GetActiveQueryWindow();
        if (!active)
            return m_pMainFrame->NewQueryWindow(std::nullopt, path);
        auto* doc = dynamic_cast<CTorvaneDoc*>(active->GetDocument());
        if (!doc)
            return nullptr;
        const wxString title = doc->GetTitle();
        if (!doc->OnSaveModified())
            return nullptr;
        if (!doc->OnOpenDocument(path)) {
            doc->ApplyTitle(title);
            active->SetTitle(title);
            return nullptr;
        }
        doc->SetTitle(wxFileName(path).GetFullName());
        active->SetTitle(doc->GetTitle());
        if (m_pDocManager)
            m_pDocManager->AddFileToHistory(path);
        return doc;
    } catch (...) {
        TVMessageBox(strings::kErrorsOccurred, wxOK | wxICON_STOP);
        return nullptr;
    }
}

bool CTorvaneApp::OnDDECommand(const wxString& command)
{
    try {
        if (!command.StartsWith("[open(\"")) {
            command_line::ShowUsage();
            return false;
        }
        if (m_pMainFrame) {
            if (m_pMainFrame->IsIconized())
                m_pMainFrame->Iconize(false);
            else
                m_pMainFrame->Show();
            m_pMainFrame->Raise();
        }
        const wxString path = PathOfOpenCommand(command);
        if (path.empty())
            return false;
        if (CChildFrame* active = m_pMainFrame ? m_pMainFrame->GetActiveQueryWindow() : nullptr)
            return active->OpenWindowOnSameConnection(path) != nullptr;
        return OpenDocumentFile(path) != nullptr;
    } catch (...) {
        TVMessageBox(strings::kErrorsOccurred, wxOK | wxICON_STOP);
        return false;
    }
}

const wxString& CTorvaneApp::GetProgramFolder()
{
    if (m_strProgramFolder.empty())
        m_strProgramFolder = wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath();
    return m_strProgramFolder;
}

const wxString& CTorvaneApp::GetTempFolder()
{
    return ::GetTempFolder();
}

bool CTorvaneApp::CheckPrinterAvailable()
{
    return CPrintDestinations::CheckAvailable();
}

bool CTorvaneApp::SetDefaultEditor(bool on)
{
    if (on)
        return CShellRegistration::Register(wxStandardPaths::Get().GetExecutablePath());
    return CShellRegistration::Unregister();
}

void CTorvaneApp::OnFileOpen(wxCommandEvent&)
{
    wxFileDialog dlg(m_pMainFrame, _("Open"), wxEmptyString, wxEmptyString,
                     "Query Files (*.sql)|*.sql|All Files (*.*)|*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dlg.ShowModal() == wxID_OK)
        OpenDocumentFile(dlg.GetPath());
}

void CTorvaneApp::OnFilePrintSetup(wxCommandEvent&)
{
    if (!CheckPrinterAvailable())
        return;
    wxPageSetupDialogData data(CPrintSetup::Current());
    wxPageSetupDialog dlg(m_pMainFrame, &data);
    if (dlg.ShowModal() == wxID_OK)
        CPrintSetup::Current() = dlg.GetPageSetupDialogData().GetPrintData();
}
