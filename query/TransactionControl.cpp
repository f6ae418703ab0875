#include "TransactionControl.h"

#include "common/ErrorText.h"
#include "platform/MessageBox.h"
#include "RunViewState.h"
#include "WindowConnection.h"

#include <wx/statusbr.h>
#include <wx/utils.h>

namespace {

const char* const kPendingQuestion = "There may be uncommited transactions pending.\n\n"
                                     "Do you wish to commit these transactions before "
                                     "performing the requested operation?";

} // namespace

wxString GetAutocommitExplanation(bool autoCommitRequested, bool autoCommit, bool transactions,
                                  const wxString& transactionError)
{
    const wxString established = autoCommit ? "Connection was established with autocommit mode on."
                                            : "Connection was established with autocommit mode off.";
    if (autoCommitRequested)
        return established;
    if (!transactions)
        return wxString("Provider does not support transactions. ") + "Autocommit mode is on.";
    if (!transactionError.empty())
        return transactionError + "\n\n" +
               "[In some cases (for instance, when using MSDASQL provider), this " +
               "problem can be worked around by choosing ODBC \"DSN-less\" logins " +
               "found under File menu and Connect sub-menu.]" + "\n\n" + "Autocommit mode is on.";
    return established;
}

bool HasPendingTransaction(bool autoCommit, bool transactionOpen, bool statementInTransaction)
{
    return !autoCommit && transactionOpen && statementInTransaction;
}

void CTransactionControl::SetMainStatusText(const wxString& text)
{
    if (m_showMainStatus)
        m_showMainStatus(text);
}

bool CTransactionControl::BeginTransaction(bool show)
{
    wxBusyCursor wait;
    if (show)
        SetMainStatusText("Please wait...");
    wxString text;
    const bool ok = m_session.BeginTransaction(text);
    if (!ok) {
        if (show)
            TVMessageBox(text, wxOK | wxICON_STOP, &m_window);
        else if (m_strTransactionError.empty())
            m_strTransactionError = text;
    }
    if (show)
        SetMainStatusText(wxString());
    return ok;
}

void CTransactionControl::StartTransactionMode()
{
    m_connection.m_bAutoCommitRequested = m_connection.m_bAutoCommit;
    m_session.StartTransactionMode();
    if (m_strTransactionError.empty())
        m_strTransactionError = m_session.BeginError();
}

bool CTransactionControl::EndTransaction(bool commit, bool showErrors)
{
    wxBusyCursor wait;
    SetMainStatusText("Please wait...");
    wxString text;
    const bool ok = m_session.EndTransaction(commit, text);
    if (ok)
        m_view.m_bStatementInTransaction = 0;
    else if (showErrors)
        TVMessageBox(text, wxOK | wxICON_STOP, &m_window);
    SetMainStatusText(wxString());
    return ok;
}

bool CTransactionControl::ConfirmPendingTransactions()
{
    if (!HasPendingTransaction(m_connection.m_bAutoCommit, IsTransactionOpen(), m_view.m_bStatementInTransaction))
        return true;
    switch (TVMessageBox(kPendingQuestion, wxYES_NO | wxCANCEL | wxICON_QUESTION, &m_window)) {
    case wxID_YES:
        // A failed commit leaves the work where it is: the window stays open with the error shown.
        return EndTransaction(true, true);
    case wxID_NO:
        EndTransaction(false, true);
        return true;
    case wxID_CANCEL:
        return false;
    default:
        return true;
    }
}

void CTransactionControl::EndEmptyTransaction()
{
    if (IsTransactionOpen() && !m_view.m_bStatementInTransaction)
        EndTransaction(false, false);
}

void CTransactionControl::OnStatusBarClick(wxMouseEvent& event)
{
    event.Skip();
    auto* bar = dynamic_cast<wxStatusBar*>(event.GetEventObject());
    wxRect pane;
    if (!bar || !bar->GetFieldRect(m_nAutocommitPane, pane) || !pane.Contains(event.GetPosition()))
        return;
    // Shown once the click is over, so the box does not open under the mouse's grab.
    m_window.CallAfter([this] {
        TVMessageBox(GetAutocommitExplanation(m_connection.m_bAutoCommitRequested, m_connection.m_bAutoCommit,
                                              m_connection.m_bTransactions, m_strTransactionError),
                     wxOK | wxICON_INFORMATION, &m_window);
    });
}
