// Execute and Save As of a query window: the command (32881) that asks for a file in the export
// dialog and runs the editor's text in save mode, and the save options that the dialog or the
// command line hand to the window before such a run.
#pragma once

#include "querycore/SaveOptions.h"

#include <wx/string.h>

#include <optional>

class CBatchExecution;
class IRunWindow;
struct COutputMode;
class CExportDialogEx;
class wxCommandEvent;
class wxUpdateUIEvent;

class CExecuteAndSaveAs {
public:
    // Binds the command and its update handler to the window, which gives the dialog its parent.
    // The save options go into the output mode; the execution runs the text.
    CExecuteAndSaveAs(IRunWindow& window, CBatchExecution& execution, COutputMode& output);
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
    IRunWindow& m_window;
    CBatchExecution& m_execution;
    COutputMode& m_output;
};
