#include "QueryRunState.h"

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
    // Nothing left to cancel when a statement ended meanwhile.
    try {
        if (statement)
            statement->Cancel();
    } catch (...) {
    }
    try {
        if (connection)
            connection->Cancel();
    } catch (...) {
    }
}
