#include "TextWorker.h"

#include "BatchEndGuard.h"
#include "common/ErrorText.h"
#include "FieldValueText.h"
#include "MessagesBuffer.h"
#include "QueryCancel.h"

#include <new>

namespace {

// Values are handed to the shared buffer in pieces of about this size, so that the lock is
// taken once per piece rather than once per row.
constexpr size_t kPieceBytes = 64 * 1024;

class CTextWriter {
public:
    explicit CTextWriter(CQueryRunState& state) : m_state(state) {}

    bool Stopped() const { return m_state.IsStopRequested(); }

    void AddRowCount(long count)
    {
        m_state.AppendOutput(true, wxString::Format("(%ld row(s) affected)", count));
    }

    // The first field of the result set: its name, a dash line as long as the name (4 for no
    // name), then every value as it is, its own line ends included.
    void AddResultSet(ado::Recordset& rs)
    {
        ado::FieldsPtr fields = rs.GetFields();
        if (fields->GetCount() == 0)
            return;
        ado::FieldPtr field = fields->GetItem(0L);
        const wxString name = wxString::FromUTF8(field->GetName());
        wxString header = name;
        if (!Stopped())
            header += "\n" + wxString('-', name.empty() ? 4 : name.length());
        m_state.AppendOutput(true, header);
        if (Stopped())
            return;
        if (!rs.IsBOF())
            m_state.AppendTextOutput("\n");
        std::string piece, value;
        try {
            while (!rs.IsEOF() && !Stopped()) {
                FieldValueText(*field, value);
                piece += value;
                if (piece.size() >= kPieceBytes)
                    Hand(piece);
                rs.MoveNext();
            }
        } catch (...) {
            // What was read before the failure stays in the text, ahead of the error.
            Hand(piece);
            throw;
        }
        Hand(piece);
    }

private:
    void Hand(std::string& piece)
    {
        if (piece.empty())
            return;
        const wxString text = wxString::FromUTF8(piece);
        piece.clear();
        m_state.AppendTextOutput(text);
    }

    CQueryRunState& m_state;
};

} // namespace

int RunTextBatch(CExecutionBlock& block)
{
    CQueryRunState& state = *block.state;
    CTextWriter writer(state);
    ado::RecordsetPtr rs = block.recordset;
    _variant_t recordsAffected = block.recordsAffected;
    int error = 0;
    const auto report = [&](const wxString& text) {
        WaitForCancelDone(state);
        if (writer.Stopped())
            return;
        state.AppendError(true, text, block.batchStart);
        error = 1;
    };
    try {
        OpenBatchResult(block, rs, recordsAffected);
        while (rs && !writer.Stopped()) {
            const long rsState = rs->GetState();
            if (rsState == ado::adStateClosed) {
                const long count = recordsAffected.vt == VT_EMPTY ? -1 : recordsAffected.ToLong();
                if (count != -1 && !writer.Stopped())
                    writer.AddRowCount(count);
            } else if (rsState & ado::adStateOpen) {
                writer.AddResultSet(*rs);
            }
            if (writer.Stopped() || !block.multipleResults)
                break;
            ado::RecordsetPtr next = rs->NextRecordset(&recordsAffected);
            if (!next)
                break;
            rs = next;
        }
    } catch (const _com_error& e) {
        report(GetConnectionErrorText(block.connection.get(), e));
    } catch (const std::bad_alloc&) {
        report("Out-of-Memory.");
    } catch (...) {
        report("Errors occurred.");
    }
    WaitForCancelDone(state);
    CloseBatchRecordsets(block, rs);
    return error;
}

void ExecuteToTextThreadProc(std::shared_ptr<CExecutionBlock> block)
{
    RunBatchToItsEnd<CTextBatchDone>(std::move(block), true, [](CExecutionBlock& b) { return RunTextBatch(b); });
}
