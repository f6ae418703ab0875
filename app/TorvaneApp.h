// The application object: start-up with its prerequisite checks, the settings root, the recent
// lists, the one document template and the main frame; the shell's open commands; and a few
// services of general use (program and temporary folders, the printer check).
#pragma once

#include "MruFileManager.h"
#include "platform/InstanceChannel.h"
#include "StartupChecks.h"
#include "TorvaneCommandLineInfo.h"

#include <wx/app.h>
#include <wx/cmndata.h>
#include <wx/string.h>

#include <memory>
#include <optional>
#include <vector>

class CMainFrame;
class CTorvaneDoc;
class CTorvaneDocManager;
class CTorvaneDocTemplate;
class wxDocument;

class CTorvaneApp : public wxApp {
public:
    CTorvaneApp();
    ~CTorvaneApp() override;

    bool OnInit() override;
    int OnRun() override;
    int OnExit() override;
    // A failed check of the class library goes to standard error: a dialog about it would stop a
    // run that nobody watches. The program's command ids keep their numbers above the library's
    // menu id range, which the library checks.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override;
    // An exception that no handler of the program expected: logged with its description, the
    // user told its failure text, and the program goes on with the windows it has.
    bool OnExceptionInMainLoop() override;
    // Queued calls (CallAfter, posted events) run from here; the toolkit's loop does not catch
    // what they throw, so their unexpected exceptions are sent to the handler above too.
    void ProcessPendingEvents() override;

    // Start-up; false ends the program. Runs on the arguments of SetCommandLine.
    bool InitInstance();
    int ExitInstance();

    // The arguments after the program name, as start-up reads them.
    void SetCommandLine(const std::vector<wxString>& args) { m_args = args; }
    const std::vector<wxString>& GetCommandLine() const { return m_args; }
    void SetStartupServices(const startup::Services& services) { m_services = services; }
    // How the main window is shown when the command line is empty (SW_ value).
    void SetShowCommand(unsigned showCmd) { m_nCmdShow = showCmd; }

    // Opens the file into the active query window (after its save question), or, with none
    // active, into a new window that first asks for its connection. Null on failure or cancel.
    wxDocument* OpenDocumentFile(const wxString& path);
    // The shell's open command, "[open(\"path\")]"; false when it is not understood or failed.
    bool OnDDECommand(const wxString& command);

    // The executable's folder, without a trailing "/".
    const wxString& GetProgramFolder();
    // The system's temporary folder, with a trailing "/".
    const wxString& GetTempFolder();
    // True when the print system offers a printer; otherwise says so and returns false.
    bool CheckPrinterAvailable();
    // Registers the query file type with the desktop (on) or removes the registration (off).
    bool SetDefaultEditor(bool on);

    CMainFrame* GetMainFrame() const { return m_pMainFrame; }
    CTorvaneDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    CTorvaneDocManager* GetDocManager() const { return m_pDocManager; }
    const wxString& GetAdoVersion() const { return m_strAdoVersion; }
    bool IsUnregisterMode() const { return m_bUnregisterMode; }
    bool IsMsInfoFound() const { return m_bMsInfoFound; }
    const wxString& GetMsInfoPath() const { return m_strMsInfoPath; }
    CMruFileManager& GetDataLinkFileManager() { return m_mruDataLinkFiles; }
    CMruFileManager& GetDsnLessLoginManager() { return m_mruDsnLessLogins; }
    CInstanceChannel& GetInstanceChannel() { return m_channel; }

    // A query window started from the command line ended its run; a failed one makes the
    // program's exit status 1.
    void OnCommandLineRunEnded(bool failed);

    // The main frame tells the application when it goes.
    void OnMainFrameDestroyed(CMainFrame* frame);

    // Closes the main frame and releases what start-up made, so that start-up can run again
    // (after a refused start, and in tests).
    void ShutDown();

private:
    bool CheckOsVersion();
    bool CheckAdoInstalled();
    bool CheckGridRegistered();
    bool FindMsInfoPath();
    void LoadRecentFileList();
    void SaveRecentFileList();
    void RunStartupAction();
    void ParseArguments(CTorvaneCommandLineInfo& info) const;
    bool ParseCommandLineOptions();
    bool ProcessCommandLineOptions(const CTorvaneCommandLineInfo& info);
    bool Unregister();
    std::optional<wxString> ShellFileArgument() const;
    // Opens the files (the first with the connect string, the others on the same connection) and,
    // with the execute flag and a connection, runs them: with a batch only the last window,
    // which saves its results as the batch says. The last document opened, or null.
    wxDocument* OpenFilesFromCommandLine(const std::optional<wxString>& connect, const std::vector<wxString>& files,
                                         bool execute, const std::optional<CommandLineBatch>& batch);

    void OnFileOpen(wxCommandEvent& event);
    void OnFilePrintSetup(wxCommandEvent& event);

    std::vector<wxString> m_args;
    startup::Services m_services;
    unsigned m_nCmdShow;

    wxString m_strMsInfoPath;
    bool m_bMsInfoFound = false;
    CTorvaneDocTemplate* m_pDocTemplate = nullptr;
    CTorvaneDocManager* m_pDocManager = nullptr;
    CMainFrame* m_pMainFrame = nullptr;
    wxString m_strAdoVersion;
    CMruFileManager m_mruDataLinkFiles;
    CMruFileManager m_mruDsnLessLogins;
    wxString m_strProgramFolder;
    CInstanceChannel m_channel;

    bool m_bUnregisterMode = false;
    bool m_bUnregistered = false;
    bool m_bHandedOver = false;
    int m_nExitCode = 0;
};

// The one application object.
inline CTorvaneApp& TheApp()
{
    return *static_cast<CTorvaneApp*>(wxApp::GetInstance());
}
