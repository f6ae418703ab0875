// The transaction of a query window whose autocommit mode is off: one transaction begun when
// the connection opens, in which every run's statements accumulate; a question before the
// window closes; an empty transaction rolled back when the window goes. Also the explanation
// the autocommit status pane gives when clicked.
#pragma once

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
        : m_window(window), m_connection(connection), m_view(view), m_showMainStatus(std::move(showMainStatus))
    {
    }

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

    int m_bTransactionOpen = 0;
    wxString m_strTransactionError;
    int m_nAutocommitPane = 1;

private:
    void SetMainStatusText(const wxString& text);

    wxWindow& m_window;
    CWindowConnection& m_connection;
    CRunViewState& m_view;
    std::function<void(const wxString&)> m_showMainStatus;
};
