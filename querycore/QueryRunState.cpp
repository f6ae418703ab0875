#include "QueryRunState.h"

namespace {

// Empties room and gives it room for length characters, its memory written once. (A wxString
// assigned from another keeps no more room than its text needs.)
void MakeTouchedRoom(wxString& room, size_t length)
{
    room.clear();
    room.reserve(length);
    room.append(length, ' ');
    room.clear();
}

} // namespace

void CQueryRunState::AppendTextOutput(const wxString& text)
{
    wxString larger;
    for (;;) {
        size_t needed;
        {
            std::lock_guard<std::mutex> lock(m_csOutput);
            needed = m_strTextOutput.length() + text.length();
            if (needed <= m_strTextOutput.capacity()) {
                m_strTextOutput += text;
                return;
            }
            if (needed <= larger.capacity()) {
                larger.append(m_strTextOutput);
                larger.append(text);
                m_strTextOutput.swap(larger);
                return;
            }
        }
        // The window may have taken the text meanwhile: the loop looks again.
        MakeTouchedRoom(larger, 2 * needed);
    }
}

void CQueryRunState::BeginRun(const ado::ConnectionPtr& connection)
{
    {
        std::lock_guard<std::mutex> lock(m_csOutput);
        m_strMessages.clear();
        m_strTextOutput.clear();
        m_batchQueue.clear();
    }
    m_bExecuting = 1;
    m_bCancelling = 0;
    m_bStop = 0;
    m_bErrors = 0;
    SetRunningConnection(connection);
}

void CQueryRunState::EndRun()
{
    m_bExecuting = 0;
    m_bCancelling = 0;
    SetRunningConnection(nullptr);
}

void CQueryRunState::BeginSearch()
{
    m_bStop = 0;
    m_bFindInFiles = 1;
}

void CQueryRunState::EndSearch()
{
    m_bFindInFiles = 0;
}

void CQueryRunState::AppendOutput(bool textOutput, const wxString& text)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    AppendOutputText(textOutput ? m_strTextOutput : m_strMessages, text);
}

wxString CQueryRunState::AppendError(bool textOutput, const wxString& text, long batchStart)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    wxString tag = m_errorList.Add(text, batchStart);
    AppendOutputText(textOutput ? m_strTextOutput : m_strMessages, tag);
    return tag;
}

std::optional<COutputPiece> CQueryRunState::TakeNewOutput(bool textOutput, COutputCursor& cursor)
{
    constexpr const char* kWhiteSpace = " \t\r\n\v\f";
    std::lock_guard<std::mutex> lock(m_csOutput);
    wxString& buffer = textOutput ? m_strTextOutput : m_strMessages;
    if (buffer.length() <= cursor.seen)
        return std::nullopt;
    cursor.seen = buffer.length();
    const size_t last = buffer.find_last_not_of(kWhiteSpace);
    if (last == wxString::npos)
        return std::nullopt;
    if (!cursor.shown)
        cursor.shownTo = buffer.find_first_not_of(kWhiteSpace);
    if (last + 1 <= cursor.shownTo)
        return std::nullopt;
    cursor.shown = true;
    COutputPiece piece;
    if (textOutput) {
        // Taken without a copy: the buffer keeps only its last character.
        piece.text.swap(buffer);
        buffer.assign(piece.text, last, wxString::npos);
        piece.from = cursor.shownTo;
        piece.to = last + 1;
        cursor.shownTo = 1;
        cursor.seen = buffer.length();
    } else {
        piece.text.assign(buffer, cursor.shownTo, last + 1 - cursor.shownTo);
        piece.from = 0;
        piece.to = piece.text.length();
        cursor.shownTo = last + 1;
    }
    return piece;
}

wxString CQueryRunState::ReadTextOutputFrom(size_t& position) const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    if (m_strTextOutput.length() <= position)
        return wxString();
    wxString text = m_strTextOutput.Mid(position);
    position = m_strTextOutput.length();
    return text;
}

wxString CQueryRunState::CopyMessages() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_strMessages;
}

wxString CQueryRunState::CopyTextOutput() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_strTextOutput;
}

bool CQueryRunState::HasMessages() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return !m_strMessages.empty();
}

bool CQueryRunState::IsOutputEmpty(bool textOutput) const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return (textOutput ? m_strTextOutput : m_strMessages).empty();
}

void CQueryRunState::ClearOutput(bool messages, bool textOutput)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    if (messages)
        m_strMessages.clear();
    if (textOutput)
        m_strTextOutput.clear();
}

void CQueryRunState::ResetErrorTags()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    m_errorList.Reset();
}

bool CQueryRunState::HasErrorTags() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return !m_errorList.IsEmpty();
}

std::vector<CErrorTagEntry> CQueryRunState::ErrorTags() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_errorList.GetEntries();
}

std::optional<CErrorTagEntry> CQueryRunState::NextErrorTag()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    if (const CErrorTagEntry* next = m_errorList.MoveNext())
        return *next;
    return std::nullopt;
}

std::optional<CErrorTagEntry> CQueryRunState::PreviousErrorTag()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    if (const CErrorTagEntry* previous = m_errorList.MovePrevious())
        return *previous;
    return std::nullopt;
}

long CQueryRunState::FindErrorTag(const wxString& tag)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_errorList.Find(tag);
}

void CQueryRunState::QueueBatch(CQueuedBatch batch)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    m_batchQueue.push_back(std::move(batch));
}

void CQueryRunState::ReplaceBatches(std::vector<CQueuedBatch> batches)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    m_batchQueue.assign(std::make_move_iterator(batches.begin()), std::make_move_iterator(batches.end()));
}

std::optional<CQueuedBatch> CQueryRunState::TakeBatch()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    if (m_batchQueue.empty())
        return std::nullopt;
    CQueuedBatch batch = std::move(m_batchQueue.front());
    m_batchQueue.pop_front();
    return batch;
}

bool CQueryRunState::HasQueuedBatches() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return !m_batchQueue.empty();
}

void CQueryRunState::DropBatches()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    m_batchQueue.clear();
}

void CQueryRunState::BeginSaveRun()
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    m_nSavedResultSets = 0;
    m_exportStep = CExportStepFiles();
}

int CQueryRunState::SavedResultSets() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_nSavedResultSets;
}

void CQueryRunState::CountSavedResultSet(const wxString& report, const std::string& excelFile, long columnCount)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    ++m_nSavedResultSets;
    AppendOutputText(m_strTextOutput, report);
    if (!excelFile.empty()) {
        m_exportStep.excelFile = excelFile;
        m_exportStep.columnCount = columnCount;
    }
}

CExportStepFiles CQueryRunState::ExportStep() const
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    return m_exportStep;
}

void CQueryRunState::UpdateExportStep(const std::function<void(CExportStepFiles&)>& change)
{
    std::lock_guard<std::mutex> lock(m_csOutput);
    change(m_exportStep);
}

void CQueryRunState::SetRunningStatement(const ado::RecordsetPtr& recordset)
{
    std::lock_guard<std::mutex> lock(m_csStatement);
    m_pRunningStatement = recordset;
}

void CQueryRunState::SetRunningConnection(const ado::ConnectionPtr& connection)
{
    std::lock_guard<std::mutex> lock(m_csStatement);
    m_pRunningConnection = connection;
}

void CQueryRunState::CancelRunningStatement()
{
    ado::RecordsetPtr statement;
    ado::ConnectionPtr connection;
    {
        std::lock_guard<std::mutex> lock(m_csStatement);
        statement = m_pRunningStatement;
        connection = m_pRunningConnection;
    }
    // A cancel that fails finds nothing left to cancel: the statement ended meanwhile.
    try {
        if (statement)
            statement->Cancel();
    } catch (const _com_error&) {
    }
    try {
        if (connection)
            connection->Cancel();
    } catch (const _com_error&) {
    }
}
