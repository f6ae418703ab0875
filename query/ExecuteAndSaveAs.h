// Execute and Save As of a query window: the command (32881) that asks for a file in the export
// dialog and runs the editor's text in save mode, and the save options that the dialog or the
// command line hand to the window before such a run.
#pragma once

#include "querycore/SaveOptions.h"

#include <wx/string.h>

#include <optional>

class CChildFrame;
class CQueryRunState;
struct COutputMode;
class CExportDialogEx;
class wxCommandEvent;
class wxUpdateUIEvent;

class CExecuteAndSaveAs {
public:
    // Binds the command and its update handler. The save options go into the output mode; the
    // frame gives the dialog its parent and runs the text.
    CExecuteAndSaveAs(CChildFrame& frame, COutputMode& output, CQueryRunState& run);
    ~CExecuteAndSaveAs();
    CExecuteAndSaveAs(const CExecuteAndSaveAs&) = delete;
    CExecuteAndSaveAs& operator=(const CExecuteAndSaveAs&) = delete;

    // OnExecuteAndSaveAs: a default file name from the text to run, then PromptSaveAsFile.
    void OnExecuteAndSaveAs(wxCommandEvent& event);
    // Enabled as Execute is.
    void OnUpdateExecuteAndSaveAs(wxUpdateUIEvent& event);

    // PromptSaveAsFile: the export dialog with the title, in the remembered folder (else the
    // temporary folder); on OK the save options, the statement appended to the editor when one
    // is given, and a run in save mode. False when the user cancelled.
    bool PromptSaveAsFile(const wxString& fileName, const wxString& title,
                          const std::optional<wxString>& sql = std::nullopt);

    // SetSaveOptions: the options for the next run, which runs in save mode: the saved count
    // starts at 0, and a window in grid mode switches to text output until the run ends.
    void SetSaveOptions(const CSaveOptions& options);
    static CSaveOptions OptionsFromDialog(const CExportDialogEx& dialog);

private:
    CChildFrame& m_frame;
    COutputMode& m_output;
    CQueryRunState& m_run;
};
