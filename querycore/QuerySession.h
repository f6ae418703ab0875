// How a connection is made ready for runs, as query windows and the batch run both do it: the
// login time-out of the settings before it opens; the query time-out and the recordset of
// catalog queries once it is open; and, once its information is read, the transaction a
// connection with autocommit off keeps: begun when the connection opens, every run's
// statements accumulating in it, ended by commit or rollback. Without transaction support
// autocommit stays on.
//
// The front ends add what is theirs around these steps (prompts, the asynchronous probe, the
// database list; a window's questions before it closes). UI thread, or the batch run's own
// thread: it calls the connection directly. Failures come back as texts (the provider's
// errors, else the COM error's text); nothing throws.
#pragma once

#include "ConnectionInfo.h"

#include <wx/string.h>

#include <functional>

class CQuerySession {
public:
    explicit CQuerySession(CConnectionInfo& info) : m_info(info) {}

    // Before Open: a new connection object with the login time-out of the settings.
    void CreateConnection();
    // Before Open of a connection made elsewhere: the login time-out of the settings.
    void ApplyLoginTimeout();
    // After Open: the query time-out (clamped) on the connection and the recordset of catalog
    // queries. A provider that refuses the time-out runs without one.
    void PrepareOpenedConnection();
    // After the connection's information is read: autocommit on without transaction support;
    // with it off, read-committed isolation and the transaction begun. A begin that fails turns
    // autocommit on; its text stays in BeginError.
    void StartTransactionMode();

    // Begins the transaction unless one is open; the failure's text in error.
    bool BeginTransaction(wxString& error);
    // Commits or rolls back; the transaction stays recorded as open on failure.
    bool EndTransaction(bool commit, wxString& error);

    bool IsTransactionOpen() const { return m_bTransactionOpen; }
    const wxString& BeginError() const { return m_strBeginError; }

private:
    // One call on the connection; its failure's text in error.
    bool CallConnection(const std::function<void(ado::Connection&)>& call, wxString& error);

    CConnectionInfo& m_info;
    bool m_bTransactionOpen = false;
    wxString m_strBeginError;
};
