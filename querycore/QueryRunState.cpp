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
