#include "QueryRunState.h"

void CQueryRunState::SetRunningStatement(const ado::RecordsetPtr& recordset)
{
    std::lock_guard<std::mutex> lock(m_csStatement);
    m_pRunningStatement = recordset;
}

void CQueryRunState::CancelRunningStatement()
{
    ado::RecordsetPtr statement;
    {
        std::lock_guard<std::mutex> lock(m_csStatement);
        statement = m_pRunningStatement;
    }
    if (!statement)
        return;
    try {
        statement->Cancel();
    } catch (...) {
        // Nothing left to cancel: the statement ended meanwhile.
    }
}
