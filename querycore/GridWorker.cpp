#include "GridWorker.h"

#include "BatchEndGuard.h"
#include "common/ErrorText.h"
#include "FieldValueText.h"
#include "GridGrowthFailure.h"
#include "MessagesBuffer.h"
#include "QueryCancel.h"
#include "TextWorker.h"
#include "Utf8.h"
#include "WorkerThread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <wx/log.h>

#include <algorithm>

namespace {

const char* const kLimitText = "Number of results grid generated reached the maximum\nlimit. The maximum limit is 1,500.";
const char* const kCreateFailedText = "Failed to create grid control. Please re-run setup and then try again.";
const char* const kUnknownError = "An unknown error has occurred.";
const char* const kErrorsOccurred = "Errors occurred.";

constexpr int kFirstRows = 25;
constexpr int kRowStepSmall = 700;
constexpr int kRowStepLarge = 10000;
constexpr int kMaxColumnTwips = 5160;

int Digits(int value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

bool IsIntegerClass(ado::DataTypeEnum type)
{
    switch (type) {
    case ado::adInteger:
    case ado::adUnsignedInt:
    case ado::adSmallInt:
    case ado::adUnsignedSmallInt:
    case ado::adTinyInt:
    case ado::adUnsignedTinyInt:
    case ado::adBoolean: return true;
    default: return false;
    }
}

bool IsDecimalClass(ado::DataTypeEnum type)
{
    switch (type) {
    case ado::adNumeric:
    case ado::adVarNumeric:
    case ado::adDecimal:
    case ado::adBigInt:
    case ado::adUnsignedBigInt:
    case ado::adSingle:
    case ado::adDouble:
    case ado::adCurrency: return true;
    default: return false;
    }
}

bool IsDateClass(ado::DataTypeEnum type)
{
    return type == ado::adDate || type == ado::adDBDate || type == ado::adDBTime || type == ado::adDBTimeStamp;
}

// The text of a value that could not be read or converted.
std::string ConversionFailureText(const _com_error& error)
{
    wxString text = GetComErrorText(error);
    text.Trim(true).Trim(false);
    return text.empty() ? std::string(kUnknownError) : text.utf8_string();
}

} // namespace

CGridWorker::CGridWorker(std::shared_ptr<CQueryRunState> state, Options options)
    : m_pState(std::move(state)), m_options(options), m_nPriority(options.priority)
{
}

template <class Message>
LRESULT CGridWorker::Send(const Message& message)
{
    return m_pState->Mailbox().Send(message);
}

void CGridWorker::SetPriority(int priority)
{
    if (priority == m_nPriority)
        return;
    m_nPriority = priority;
    // Linux keeps a nice value per thread; a raise the process may not make leaves it as it was.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), CWorkerThread::NiceForPriority(priority));
}

void CGridWorker::AppendMessage(const wxString& text)
{
    m_pState->AppendMessages(text);
}

int CGridWorker::WidthPixels(int characters) const
{
    const int twips = std::min((characters + Extra()) * m_block.m_nFontPoints * m_block.m_nTwipsPerPixel, kMaxColumnTwips);
    return twips / std::max(m_block.m_nTwipsPerPixel, 1);
}

void CGridWorker::Run(const ado::RecordsetPtr& recordset, const _variant_t& recordsAffected)
{
    FillResultGrids(recordset, recordsAffected);
    if (Stopped() && m_block.m_pCurrentGrid && m_block.m_nRowsInUse > 1 && m_block.m_strFailure.empty()) {
        m_block.m_pCurrentGrid->m_bComplete = true;
        Send(CSetGridRows{m_block.m_nRowsInUse, &m_block});
    }
    if (m_block.m_pCurrentGrid && !m_block.m_bColumnsSized)
        SizeGridColumns();
}

void CGridWorker::FillResultGrids(ado::RecordsetPtr recordset, _variant_t recordsAffected)
{
    m_block.m_nRowsInUse = 0;
    m_block.m_bColumnsSized = false;
    m_block.m_nRowCapacity = kRowStepSmall;
    while (recordset && !Stopped()) {
        const long state = recordset->GetState();
        if (state == ado::adStateClosed) {
            const long affected = recordsAffected.vt == VT_EMPTY ? -1 : recordsAffected.ToLong();
            if (affected != -1)
                AppendMessage(wxString::Format("(%ld row(s) affected)", affected));
        } else if (state & ado::adStateOpen) {
            m_block.m_pCurrentGrid.reset();
            m_block.m_nRowsInUse = 0;
            m_block.m_bColumnsSized = false;
            m_block.m_nRowCapacity = kRowStepSmall;
            const ado::FieldsPtr fields = recordset->GetFields();
            const long count = fields->GetCount();
            if (count > 0) {
                const LRESULT created = Send(CCreateResultGrid{static_cast<int>(count + 1), &m_block});
                if (created == kGridLimitReached)
                    throw CGridError(kLimitText);
                if (created != 0 || !m_block.m_pCurrentGrid)
                    throw CGridError(kCreateFailedText);
                CGridStore& grid = *m_block.m_pCurrentGrid;
                FillGridFromRecordset(*fields, count);
                int rows = 0;
                if (recordset->IsBOF() || (m_options.rowLimit && m_options.maxRows == 0)) {
                    grid.m_nHasRows = 0;
                    grid.m_bComplete = true;
                    m_block.m_nRowsInUse = 2;
                    SizeGridColumns();
                } else {
                    rows = FillRows(*recordset, count);
                }
                if (!(Stopped() && grid.m_nHasRows != 0))
                    AppendMessage(wxString::Format("[%d row(s) returned (application specific)]", rows));
            }
        }
        if (Stopped() || !m_options.multipleResults || IsSchemaListKind(m_options.kind))
            break;
        recordset = recordset->NextRecordset(&recordsAffected);
    }
}

void CGridWorker::FillGridFromRecordset(const ado::Fields& fields, long count)
{
    CGridStore& grid = *m_block.m_pCurrentGrid;
    m_widths.assign(static_cast<size_t>(count) + 1, -1);
    m_widths[0] = 1;
    std::vector<int> pixels(static_cast<size_t>(count) + 1, WidthPixels(1));
    std::vector<int> integers, decimals, dates;
    m_reads.assign(static_cast<size_t>(count), CellRead::Text);
    for (long i = 0; i < count && !Stopped(); ++i) {
        const ado::FieldPtr field = fields.GetItem(i);
        const std::string name = field->GetName();
        grid.SetColumnName(static_cast<size_t>(i), name);
        const int length = static_cast<int>(utf8::CountCodePoints(name));
        m_widths[static_cast<size_t>(i) + 1] = length;
        pixels[static_cast<size_t>(i) + 1] = WidthPixels(length);
        const ado::DataTypeEnum type = field->GetType();
        const int column = static_cast<int>(i) + 1;
        if (IsIntegerClass(type))
            integers.push_back(column);
        else if (IsDecimalClass(type))
            decimals.push_back(column);
        else if (IsDateClass(type))
            dates.push_back(column);
        if (type == ado::adBoolean)
            m_reads[static_cast<size_t>(i)] = CellRead::Boolean;
        else if (type == ado::adBinary || type == ado::adVarBinary || type == ado::adLongVarBinary)
            m_reads[static_cast<size_t>(i)] = CellRead::Bytes;
    }
    grid.SetColumnWidths(std::move(pixels));
    grid.SetTypeClasses(std::move(integers), std::move(decimals), std::move(dates));
}

void CGridWorker::MakeRoom(int rows)
{
    try {
        m_block.m_pCurrentGrid->ReserveRows(static_cast<size_t>(rows - 1));
        m_block.m_nRowCapacity = rows;
        return;
    } catch (const std::bad_alloc&) {
        m_block.m_strFailure = BuildGridGrowthFailureText(wxSysErrorMsgStr(ENOMEM)).utf8_string();
    }
    const std::string failure = m_block.m_strFailure;
    m_block.m_pCurrentGrid->m_bComplete = true;
    Send(CSetGridRows{std::max(m_block.m_nRowsInUse, 2), &m_block});
    throw CGridError(failure);
}

void CGridWorker::SetGridRows(int rows)
{
    if (Send(CSetGridRows{rows, &m_block}) == -1)
        throw CGridError(m_block.m_strFailure.empty() ? kErrorsOccurred : m_block.m_strFailure);
}

bool CGridWorker::CutBackAfterFailure(int rows)
{
    m_block.m_pCurrentGrid->m_bComplete = true;
    const bool resized =
        Send(CSetGridRows{rows + 1, &m_block}) != -1;
    if (rows > 0 && rows < kFirstRows)
        SizeGridColumns();
    return resized;
}

int CGridWorker::FillRows(ado::Recordset& recordset, long count)
{
    const std::vector<ado::FieldPtr> byteFields = ByteFields(recordset, count);
    if (!Stopped())
        StartFilling();

    int r = 0;
    long fetched = 1;
    std::string text;
    while (!Stopped() && !recordset.IsEOF()) {
        GrowForRow(r);
        ++r;
        m_block.m_nRowsInUse = r + 1;
        if (r <= kFirstRows)
            m_widths[0] = std::max(m_widths[0], Digits(r));
        AppendRow(recordset, count, byteFields, r, text);
        AfterRow(r);

        if (Stopped())
            break;
        if (m_options.rowLimit && fetched == m_options.maxRows) {
            m_block.m_nRowsInUse = static_cast<int>(m_options.maxRows) + 1;
            break;
        }
        MoveToNextRow(recordset, r);
        if (m_options.rowLimit)
            ++fetched;
    }

    FinishRows(r);
    return r;
}

std::vector<ado::FieldPtr> CGridWorker::ByteFields(ado::Recordset& recordset, long count) const
{
    const ado::FieldsPtr fields = recordset.GetFields();
    std::vector<ado::FieldPtr> byteFields(static_cast<size_t>(count));
    for (long i = 0; i < count; ++i) {
        if (m_reads[static_cast<size_t>(i)] == CellRead::Bytes)
            byteFields[static_cast<size_t>(i)] = fields->GetItem(i);
    }
    return byteFields;
}

void CGridWorker::StartFilling()
{
    SetPriority(THREAD_PRIORITY_ABOVE_NORMAL);
    MakeRoom(m_block.m_nRowCapacity);
    if (Stopped())
        m_block.m_nRowsInUse = 1;
}

void CGridWorker::GrowForRow(int rowsWritten)
{
    if (rowsWritten < m_block.m_nRowCapacity - 1)
        return;
    const int step = rowsWritten < kRowStepLarge ? kRowStepSmall : kRowStepLarge;
    if (!Stopped())
        MakeRoom(m_block.m_nRowCapacity + step);
}

void CGridWorker::ReadCell(ado::Recordset& recordset, long index, const ado::FieldPtr& byteField,
                           std::string& text) const
{
    switch (m_reads[static_cast<size_t>(index)]) {
    case CellRead::Text: recordset.AppendCellText(index, text); break;
    case CellRead::Boolean: {
        const _variant_t value = recordset.GetCollect(index);
        if (value.vt == VT_BOOL)
            text.assign(1, value.num.boolVal ? '1' : '0');
        else if (!value.IsNull())
            text = value.ToString();
        break;
    }
    case CellRead::Bytes:
        if (byteField->GetActualSize() >= 0)
            text = VariantToDisplayText(*byteField);
        break;
    }
}

void CGridWorker::AppendRow(ado::Recordset& recordset, long count, const std::vector<ado::FieldPtr>& byteFields,
                            int row, std::string& text)
{
    CGridStore& grid = *m_block.m_pCurrentGrid;
    for (long i = 0; i < count && !Stopped(); ++i) {
        text.clear();
        try {
            ReadCell(recordset, i, byteFields[static_cast<size_t>(i)], text);
        } catch (const _com_error& error) {
            grid.EndRow();
            CutBackAfterFailure(row);
            throw CGridError(ConversionFailureText(error));
        }
        grid.AppendCell(text);
        if (row <= kFirstRows) {
            int& width = m_widths[static_cast<size_t>(i) + 1];
            width = std::max(width, static_cast<int>(utf8::CountCodePoints(text)));
        }
    }
    grid.EndRow();
}

void CGridWorker::AfterRow(int row)
{
    if (row == kFirstRows)
        SizeGridColumns();
    else if (row > 100)
        SetPriority(m_options.priority);
}

void CGridWorker::MoveToNextRow(ado::Recordset& recordset, int rowsWritten)
{
    try {
        recordset.MoveNext();
    } catch (const _com_error&) {
        if (CutBackAfterFailure(rowsWritten) && !Stopped())
            AppendMessage(wxString::Format("[%d row(s) returned (application specific)]", rowsWritten));
        throw;
    }
}

void CGridWorker::FinishRows(int rowsWritten)
{
    m_block.m_pCurrentGrid->m_bComplete = true;
    SetGridRows(rowsWritten + 1);
    if (rowsWritten > 0 && rowsWritten < kFirstRows)
        SizeGridColumns();
    SetPriority(m_options.priority);
}

void CGridWorker::SizeGridColumns()
{
    if (!m_block.m_pCurrentGrid)
        return;
    const CGridStore* grid = m_block.m_pCurrentGrid.get();
    Send(CSetGridRedraw{false, grid});
    std::vector<int> pixels(m_widths.size());
    int count = 43;
    for (size_t c = 0; c < m_widths.size(); ++c) {
        if (m_widths[c] >= 0)
            count = m_widths[c];
        pixels[c] = WidthPixels(count);
    }
    m_block.m_pCurrentGrid->SetColumnWidths(std::move(pixels));
    Send(CSetGridRedraw{true, grid});
    m_block.m_bColumnsSized = true;
}

int RunGridBatch(CExecutionBlock& block, const CGridWorker::Options& options)
{
    CQueryRunState& state = *block.state;
    ado::RecordsetPtr rs = block.recordset;
    int error = 0;
    const auto report = [&](const wxString& text) {
        if (state.IsStopRequested())
            return;
        state.AppendError(false, text, block.batchStart);
        error = 1;
    };
    try {
        _variant_t recordsAffected = block.recordsAffected;
        OpenBatchResult(block, rs, recordsAffected);
        CGridWorker worker(block.state, options);
        worker.Run(rs, recordsAffected);
    } catch (const _com_error& e) {
        WaitForCancelDone(state);
        report(GetConnectionErrorText(block.connection.get(), e));
    } catch (const std::bad_alloc&) {
        report("Out-of-Memory.");
    } catch (const CGridError& e) {
        report(wxString::FromUTF8(e.what()));
    } catch (...) {
        report("Errors occurred.");
    }
    WaitForCancelDone(state);
    CloseBatchRecordsets(block, rs);
    return error;
}

void ExecuteToGridThreadProc(std::shared_ptr<CExecutionBlock> block, CGridWorker::Options options)
{
    RunBatchToItsEnd<CGridBatchDone>(std::move(block), false,
                                     [&options](CExecutionBlock& b) { return RunGridBatch(b, options); });
}
