#include "ExecuteAndSaveAs.h"

#include "BatchExecution.h"
#include "ChildFrame.h"
#include "common/CommandIds.h"
#include "common/FileHelpers.h"
#include "common/IdentifierText.h"
#include "common/SettingsTable.h"
#include "ExportDialogs.h"
#include "QueryHost.h"
#include "SchemaPane.h"

#include <wx/utils.h>

namespace {

const char* const kSaveFilter = "ADTG Files (*.adtg)|*.adtg|Export Files (*.csv)|*.csv|XML Files (*.xml)|*.xml|";

} // namespace

CExecuteAndSaveAs::CExecuteAndSaveAs(CChildFrame& frame, COutputMode& output, CQueryRunState& run)
    : m_frame(frame), m_output(output), m_run(run)
{
    m_frame.Bind(wxEVT_MENU, &CExecuteAndSaveAs::OnExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
    m_frame.Bind(wxEVT_UPDATE_UI, &CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
}

CExecuteAndSaveAs::~CExecuteAndSaveAs()
{
    m_frame.Unbind(wxEVT_MENU, &CExecuteAndSaveAs::OnExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
    m_frame.Unbind(wxEVT_UPDATE_UI, &CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs, this, ID_QUERY_EXECUTE_SAVE_AS);
}

void CExecuteAndSaveAs::OnUpdateExecuteAndSaveAs(wxUpdateUIEvent& event)
{
    event.Enable(m_frame.GetExecution().IsExecuteEnabled());
}

void CExecuteAndSaveAs::OnExecuteAndSaveAs(wxCommandEvent&)
{
    if (!m_frame.GetExecution().IsExecuteEnabled())
        return;
    wxBusyCursor wait;
    wxString text;
    m_frame.GetExecution().GetQueryText(text);
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
    CExportDialogEx dialog(&m_frame, title, kSaveFilter, folder + fileName);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    // No trace of the dialog stays on screen while the run starts.
    if (m_frame.GetHost()) {
        m_frame.GetHost()->GetHostWindow()->Refresh();
        m_frame.GetHost()->GetHostWindow()->Update();
    }
    SetSaveOptions(OptionsFromDialog(dialog));
    if (sql && m_frame.GetSchemaView())
        m_frame.GetSchemaView()->AppendToQueryEditor(*sql);
    m_frame.GetExecution().ExecuteQuery();
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
    m_run.BeginSaveRun();
    if (!m_output.m_bResultsInText) {
        m_output.m_bResultsInText = 1;
        m_output.m_bTextModeForced = 1;
    }
}
