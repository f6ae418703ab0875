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
    const CExportStepFiles files = state.ExportStep();
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
                               &state.StopFlag())) {
                if (text.empty() && state.IsStopRequested())
                    throw std::string();
                throw text.empty() ? std::string("Errors occurred.") : text;
            }
            if (block.open)
                openFile = workbook;
            openedText = "Exported " + workbook + " to Excel successfully.";
        }
        if (!block.open && !openedText.empty())
            state.AppendOutput(true, wxString::FromUTF8(openedText));
    } catch (...) {
        const wxString text = GetSaveErrorText(nullptr, std::current_exception());
        WaitForCancelDone(state);
        if (!state.IsStopRequested()) {
            state.AppendError(true, text, 0);
            error = 1;
        }
        openFile.clear();
    }
    WaitForCancelDone(state);
    const bool stopped = state.IsStopRequested();
    state.UpdateExportStep([&](CExportStepFiles& step) {
        if (options.format == export_options::Delimited) {
            step.excelFile.clear();
            step.columnCount = -1;
        } else {
            step.publishFile.clear();
        }
        step.openFile = stopped ? std::string() : openFile;
        step.openedText = step.openFile.empty() ? std::string() : openedText;
    });
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
    state.UpdateExportStep([&file, &text](CExportStepFiles& step) {
        std::swap(file, step.openFile);
        std::swap(text, step.openedText);
    });
    if (file.empty() || state.IsStopRequested())
        return 0;
    wxString errorText;
    if (!ShellOpenFile(wxString::FromUTF8(file), errorText)) {
        state.AppendError(true, "'" + wxString::FromUTF8(file) + "'.\n" + errorText, 0);
        return 1;
    }
    state.AppendOutput(true, wxString::FromUTF8(text));
    return 0;
}
