// The transaction of a query window whose autocommit mode is off: one transaction begun when
// the connection opens, in which every run's statements accumulate; a question before the
// window closes; an empty transaction rolled back when the window goes. Also the explanation
// the autocommit status pane gives when clicked.
#pragma once

#include "querycore/QuerySession.h"
#include "WindowConnection.h"

#include <wx/string.h>

#include <functional>

class CWindowConnection;
struct CRunViewState;
class wxMouseEvent;
class wxWindow;

// The text of the autocommit pane's explanation.
wxString GetAutocommitExplanation(bool autoCommitRequested, bool autoCommit, bool transactions,
                                  const wxString& transactionError);

// Whether closing has to ask about a transaction: autocommit is off and a statement ran in the
// transaction the window holds open.
bool HasPendingTransaction(bool autoCommit, bool transactionOpen, bool statementInTransaction);

class CTransactionControl {
public:
    // window: the parent of the questions and messages; showMainStatus: the main window's
    // status text.
    CTransactionControl(wxWindow& window, CWindowConnection& connection, CRunViewState& view,
                        std::function<void(const wxString&)> showMainStatus)
        : m_window(window), m_connection(connection), m_view(view), m_session(connection),
          m_showMainStatus(std::move(showMainStatus))
    {
    }

    // The connection's set-up and transaction steps, shared with the batch run.
    CQuerySession& Session() { return m_session; }
    // Right after the connection's information is read: autocommit as requested and supported,
    // the transaction begun when it is off; a failed begin's text kept for the autocommit pane.
    void StartTransactionMode();
    bool IsTransactionOpen() const { return m_session.IsTransactionOpen(); }

    // Begins the window's transaction unless one is open. show: a failure is shown in a message
    // box (and the status text says "Please wait..." meanwhile); otherwise the first failure's
    // text is kept for the autocommit pane. True on success.
    bool BeginTransaction(bool show);
    // Commits or rolls back the window's transaction; show: a failure is shown. On failure the
    // transaction stays recorded as open. True on success.
    bool EndTransaction(bool commit, bool showErrors);
    // Before the window closes: asks whether to commit a transaction in which statements ran.
    // False keeps the window open: the user cancelled, or the commit or rollback the user chose
    // failed (its error was shown; nothing else is ended behind the user's back).
    bool ConfirmPendingTransactions();
    // When the window goes: a transaction in which no statement ran is rolled back silently.
    void EndEmptyTransaction();

    // A click on the window's status bar: on the autocommit pane, the explanation.
    void OnStatusBarClick(wxMouseEvent& event);

    wxString m_strTransactionError;
    int m_nAutocommitPane = 1;

private:
    void SetMainStatusText(const wxString& text);

    wxWindow& m_window;
    CWindowConnection& m_connection;
    CRunViewState& m_view;
    CQuerySession m_session;
    std::function<void(const wxString&)> m_showMainStatus;
};
