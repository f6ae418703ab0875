#include "ExportResultsWorker.h"

#include "BatchEndGuard.h"
#include "common/FileHelpers.h"
#include "common/IdentifierText.h"
#include "common/ShellOpen.h"
#include "ExportOptions.h"
#include "MessagesBuffer.h"
#include "QueryCancel.h"
#include "QueryRunState.h"
#include "SaveWorker.h"
#include "WorkbookExport.h"
#include "XmlPublishing.h"

namespace {

// The page for a published file goes to the temporary folder: browsers refuse to apply a
// stylesheet to a local file themselves.
std::string HtmlPathFor(const std::string& xmlPath)
{
    wxString folder, name, extension;
    SplitPathName(wxString::FromUTF8(xmlPath), folder, name, extension);
    return (GetTempFolder() + name + "_" + MakeUniqueName() + ".html").utf8_string();
}

} // namespace

bool ExportStepWanted(const CSaveOptions& options, const CExportStepFiles& files)
{
    if (options.format == export_options::XML)
        return options.publish && !files.publishFile.empty() && !files.stylesheetFile.empty();
    if (options.format == export_options::Delimited)
        return options.exportToExcel && !files.excelFile.empty();
    return false;
}

int RunExportStep(CExportBlock& block)
{
    CQueryRunState& state = *block.state;
    const CSaveOptions& options = block.options;
    CExportStepFiles files;
    {
        std::lock_guard<std::mutex> lock(state.m_csOutput);
        files = state.m_exportStep;
    }
    int error = 0;
    std::string openFile;
    std::string openedText;
    try {
        if (options.format == export_options::XML && options.publish && !files.publishFile.empty()) {
            if (block.open) {
                openFile = HtmlPathFor(files.publishFile);
                RenderPublishedHtml(files.publishFile, files.stylesheetFile, openFile);
            }
            openedText = "Published " + files.publishFile + " successfully.";
        } else if (options.format == export_options::Delimited && options.exportToExcel && !files.excelFile.empty()) {
            std::string text;
            std::string workbook;
            if (!ExportToExcel(files.excelFile, true, options.delimiter, text, files.columnCount, workbook,
                               &state.m_bStop)) {
                if (text.empty() && state.m_bStop)
                    throw std::string();
                throw text.empty() ? std::string("Errors occurred.") : text;
            }
            if (block.open)
                openFile = workbook;
            openedText = "Exported " + workbook + " to Excel successfully.";
        }
        if (!block.open && !openedText.empty())
            AppendRunOutput(state, true, wxString::FromUTF8(openedText));
    } catch (...) {
        const wxString text = GetSaveErrorText(nullptr, std::current_exception());
        WaitForCancelDone(state);
        if (!state.m_bStop) {
            AppendRunError(state, true, text, 0);
            error = 1;
        }
        openFile.clear();
    }
    WaitForCancelDone(state);
    {
        std::lock_guard<std::mutex> lock(state.m_csOutput);
        CExportStepFiles& step = state.m_exportStep;
        if (options.format == export_options::Delimited) {
            step.excelFile.clear();
            step.columnCount = -1;
        } else {
            step.publishFile.clear();
        }
        step.openFile = state.m_bStop ? std::string() : openFile;
        step.openedText = step.openFile.empty() ? std::string() : openedText;
    }
    return error;
}

void ExportResultsThreadProc(std::shared_ptr<CExportBlock> block)
{
    RunBatchToItsEnd<CSaveBatchDone>(std::move(block), true, [](CExportBlock& b) { return RunExportStep(b); });
}

int OpenExportResult(CQueryRunState& state)
{
    std::string file;
    std::string text;
    {
        std::lock_guard<std::mutex> lock(state.m_csOutput);
        std::swap(file, state.m_exportStep.openFile);
        std::swap(text, state.m_exportStep.openedText);
    }
    if (file.empty() || state.m_bStop)
        return 0;
    wxString errorText;
    if (!ShellOpenFile(wxString::FromUTF8(file), errorText)) {
        AppendRunError(state, true, "'" + wxString::FromUTF8(file) + "'.\n" + errorText, 0);
        return 1;
    }
    AppendRunOutput(state, true, wxString::FromUTF8(text));
    return 0;
}
