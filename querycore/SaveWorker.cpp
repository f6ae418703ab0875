#include "SaveWorker.h"

#include "ado/RecordsetPersistence.h"
#include "BatchEndGuard.h"
#include "common/ErrorText.h"
#include "common/FileException.h"
#include "common/IdentifierText.h"
#include "DelimitedTextWriter.h"
#include "MessagesBuffer.h"
#include "QueryCancel.h"
#include "ReplacingFile.h"
#include "TextWorker.h"
#include "XmlPublishing.h"

#include <fmt/format.h>

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

namespace {

bool Stopped(const CQueryRunState& state)
{
    return state.IsStopRequested();
}

void AddOutput(CQueryRunState& state, const wxString& text)
{
    state.AppendOutput(true, text);
}

// A data layer error of its own making (FACILITY_CONTROL), not one the provider reported.
bool IsLayerError(const _com_error& error)
{
    return (static_cast<uint32_t>(error.Error()) & 0xFFFF0000u) == 0x800A0000u;
}

wxString FileErrorText(const wxString& fileName, int osError)
{
    return "'" + fileName + "'.\n" + GetFileExceptionText(CFileException::ErrnoToCause(osError));
}

// Links a saved XML file to the run's stylesheet, which the run's first published file copies
// beside itself.
void PublishSavedXml(CQueryRunState& state, const CSaveOptions& options, const std::string& target)
{
    std::string stylesheet = state.ExportStep().stylesheetFile;
    if (stylesheet.empty()) {
        stylesheet = PublishXmlWithXsl(target, options.publishTitle);
        state.UpdateExportStep([&stylesheet](CExportStepFiles& step) { step.stylesheetFile = stylesheet; });
    }
    InsertXmlStylesheetLink(target, stylesheet);
    state.UpdateExportStep([&target](CExportStepFiles& step) { step.publishFile = target; });
}

} // namespace

bool SaveRecordset(ado::Recordset& recordset, const std::string& path, bool xml, const std::atomic<int>& stop)
{
    ReplacingFile file(path);
    ado::PersistRecordset(recordset, file, xml ? ado::adPersistXML : ado::adPersistADTG);
    if (stop.load(std::memory_order_relaxed))
        return false;
    file.Commit();
    return true;
}

void SaveResultSets(CSaveBlock& block, ado::RecordsetPtr& recordset, _variant_t& recordsAffected)
{
    CQueryRunState& state = *block.state;
    const CSaveOptions& options = block.options;
    while (recordset && !Stopped(state)) {
        const long rsState = recordset->GetState();
        if (rsState == ado::adStateClosed) {
            const long count = recordsAffected.vt == VT_EMPTY ? -1 : recordsAffected.ToLong();
            if (count != -1)
                AddOutput(state, wxString::Format("(%ld row(s) affected)", count));
        } else if (rsState & ado::adStateOpen) {
            const int saved = state.SavedResultSets();
            const std::string target =
                export_options::SaveTargetPath(options.path, saved, MakeUniqueName().utf8_string());
            bool written = false;
            long columnCount = -1;
            switch (options.format) {
            case export_options::ADTG:
                written = SaveRecordset(*recordset, target, false, state.StopFlag());
                break;
            case export_options::Delimited:
                written = SaveRecordsetAsText(*recordset, target, options.delimiter, options.exportToExcel,
                                              state.IsStopRequested(), &columnCount);
                break;
            case export_options::XML:
                written = SaveRecordset(*recordset, target, true, state.StopFlag());
                break;
            default:
                throw _com_error(E_INVALIDARG);
            }
            if (written) {
                // Counted and reported before it is published: a failure to publish must not let
                // the next result set take this file's name.
                const bool toWorkbook = options.format == export_options::Delimited && options.exportToExcel;
                state.CountSavedResultSet(wxString::Format("Saved %s successfully.", wxString::FromUTF8(target)),
                                          toWorkbook ? target : std::string(), columnCount);
            }
            if (written && options.format == export_options::XML && options.publish && !Stopped(state))
                PublishSavedXml(state, options, target);
        }
        if (Stopped(state) || !block.multipleResults)
            break;
        ado::RecordsetPtr next = recordset->NextRecordset(&recordsAffected);
        if (!next)
            break;
        recordset = next;
    }
}

wxString GetSaveErrorText(const ado::Connection* connection, const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const _com_error& e) {
        return IsLayerError(e) ? GetComErrorText(e) : GetConnectionErrorText(connection, e);
    } catch (const std::filesystem::filesystem_error& e) {
        return FileErrorText(wxString::FromUTF8(e.path1().string()), e.code().value());
    } catch (const CFileException& e) {
        return "'" + e.m_strFileName + "'.\n" + GetFileExceptionText(e.m_cause);
    } catch (const std::bad_alloc&) {
        return "Out-of-Memory.";
    } catch (const std::string& text) {
        return wxString::FromUTF8(text);
    } catch (...) {
    }
    return "Errors occurred.";
}

int RunSaveBatch(CSaveBlock& block)
{
    CQueryRunState& state = *block.state;
    ado::RecordsetPtr rs = block.recordset;
    _variant_t recordsAffected = block.recordsAffected;
    int error = 0;
    try {
        OpenBatchResult(block, rs, recordsAffected);
        SaveResultSets(block, rs, recordsAffected);
    } catch (...) {
        const wxString text = GetSaveErrorText(block.connection.get(), std::current_exception());
        WaitForCancelDone(state);
        if (!Stopped(state)) {
            state.AppendError(true, text, block.batchStart);
            error = 1;
        }
    }
    WaitForCancelDone(state);
    CloseBatchRecordsets(block, rs);
    return error;
}

void ExecuteAndSaveThreadProc(std::shared_ptr<CSaveBlock> block)
{
    RunBatchToItsEnd<CSaveBatchDone>(std::move(block), true, [](CSaveBlock& b) { return RunSaveBatch(b); });
}
