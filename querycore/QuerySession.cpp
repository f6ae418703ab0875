#include "QuerySession.h"

#include "common/BestEffort.h"
#include "common/ErrorText.h"
#include "common/SettingsTable.h"
#include "ConnectRules.h"

void CQuerySession::CreateConnection()
{
    m_info.m_pConnection = ado::Connection::Create();
    ApplyLoginTimeout();
}

void CQuerySession::ApplyLoginTimeout()
{
    // Refused: the driver's own login time-out applies.
    BestEffort([this] {
        m_info.m_pConnection->PutConnectionTimeout(ClampLoginTimeout(settings::ReadInt(settings::LoginTimeOut)));
    });
}

void CQuerySession::PrepareOpenedConnection()
{
    m_info.m_nQueryTimeout = ClampQueryTimeout(m_info.m_nQueryTimeout);
    // Refused: statements run without a time-out.
    BestEffort([this] { m_info.m_pConnection->PutCommandTimeout(m_info.m_nQueryTimeout); });
    // Without it the catalog queries report their own failure.
    BestEffort([this] {
        m_info.m_pRecordset = ado::Recordset::Create();
        m_info.m_pRecordset->PutCacheSize(1);
    });
}

void CQuerySession::StartTransactionMode()
{
    if (!m_info.m_bTransactions)
        m_info.m_bAutoCommit = 1;
    if (m_info.m_bAutoCommit)
        return;
    // A provider without isolation levels runs at its own; the transaction still begins.
    BestEffort([this] { m_info.m_pConnection->PutIsolationLevel(ado::adXactReadCommitted); });
    wxString error;
    if (!BeginTransaction(error)) {
        m_info.m_bAutoCommit = 1;
        if (m_strBeginError.empty())
            m_strBeginError = error;
    }
}

bool CQuerySession::BeginTransaction(wxString& error)
{
    if (m_bTransactionOpen)
        return true;
    m_bTransactionOpen = CallConnection([](ado::Connection& c) { c.BeginTrans(); }, error);
    return m_bTransactionOpen;
}

bool CQuerySession::EndTransaction(bool commit, wxString& error)
{
    const bool ended = CallConnection(
        [commit](ado::Connection& c) {
            if (commit)
                c.CommitTrans();
            else
                c.RollbackTrans();
        },
        error);
    if (ended)
        m_bTransactionOpen = false;
    return ended;
}

bool CQuerySession::CallConnection(const std::function<void(ado::Connection&)>& call, wxString& error)
{
    try {
        if (!m_info.m_pConnection)
            throw _com_error(E_POINTER);
        call(*m_info.m_pConnection);
        return true;
    } catch (const _com_error& e) {
        error = GetConnectionErrorText(m_info.m_pConnection.get(), e);
    } catch (...) {
        error = "Errors occurred.";
    }
    return false;
}
