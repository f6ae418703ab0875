#include "ExecuteAndSaveAs.h"

#include "BatchExecution.h"
#include "common/CommandIds.h"
#include "common/FileHelpers.h"
#include "common/IdentifierText.h"
#include "common/SettingsTable.h"
#include "ExportDialogs.h"
#include "querycore/OutputMode.h"
#include "QueryHost.h"
#include "SchemaPane.h"

#include <wx/frame.h>
#include <wx/utils.h>

namespace {

const char* const kSaveFilter = "ADTG Files (*.adtg)|*.adtg|Export Files (*.csv)|*.csv|XML Files (*.xml)|*.xml|";

} // namespace

CExecuteAndSaveAs::CExecuteAndSaveAs(IRunWindow& window, CBatchExecution& execution, COutputMode& output)
    : m_window(window), m_execution(execution), m_output(output)
{
    m_window.GetRunWindow().Bind(wxEVT_MENU, &CExecuteAndSaveAs::OnExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
    m_window.GetRunWindow().Bind(wxEVT_UPDATE_UI, &CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
}

CExecuteAndSaveAs::~CExecuteAndSaveAs()
{
    m_window.GetRunWindow().Unbind(wxEVT_MENU, &CExecuteAndSaveAs::OnExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
    m_window.GetRunWindow().Unbind(wxEVT_UPDATE_UI, &CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
}

void CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs(wxUpdateUIEvent& event)
{
    event.Enable(m_execution.IsExecuteEnabled());
}

void CExecuteAndSaveAs::OnExecuteAndSaveAs(wxCommandEvent&)
{
    if (!m_execution.IsExecuteEnabled())
        return;
    wxBusyCursor wait;
    wxString text;
    m_execution.GetQueryText(text);
    PromptSaveAsFile(MakeFileNameFromText(text, wxString(), wxString()), "Execute and Save As");
}

bool CExecuteAndSaveAs::PromptSaveAsFile(const wxString& fileName, const wxString& title,
                                         const std::optional<wxString>& sql)
{
    wxBusyCursor wait;
    wxString folder = settings::ReadString(settings::ExportInitialDir);
    if (folder.empty())
        folder = GetTempFolder();
    if (!folder.EndsWith("/"))
        folder += "/";
    CExportDialogEx dialog(&m_window.GetRunWindow(), title, kSaveFilter, folder + fileName);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    // No trace of the dialog stays on screen while the run starts.
    if (m_window.GetHost()) {
        m_window.GetHost()->GetHostWindow()->Refresh();
        m_window.GetHost()->GetHostWindow()->Update();
    }
    SetSaveOptions(OptionsFromDialog(dialog));
    if (sql && m_window.GetSchemaView())
        m_window.GetSchemaView()->AppendToQueryEditor(*sql);
    m_execution.ExecuteQuery();
    return true;
}

CSaveOptions CExecuteAndSaveAs::OptionsFromDialog(const CExportDialogEx& dialog)
{
    CSaveOptions options;
    options.format = dialog.GetFileType();
    options.path = dialog.m_strPath.utf8_string();
    options.delimiter = dialog.m_strDelimiter.utf8_string();
    options.exportToExcel = dialog.m_bExportToExcel != 0;
    options.publish = dialog.m_bPublish != 0;
    return options;
}

void CExecuteAndSaveAs::SetSaveOptions(const CSaveOptions& options)
{
    m_output.m_saveOptions = options;
    m_output.m_bSaveMode = 1;
    m_execution.BeginSaveRun();
    if (!m_output.m_bResultsInText) {
        m_output.m_bResultsInText = 1;
        m_output.m_bTextModeForced = 1;
    }
}
