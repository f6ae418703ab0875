// The text side of a query window's results pane: the messages of a grid-mode run and the whole
// output of a Results in Text run, shown from the run's buffers; the Results in Text switch with
// its warning; the Messages command; and the result-set pane's text.
#pragma once

#include <wx/string.h>

#include <cstddef>

class CChildFrame;
class IResultsGrids;
class wxCommandEvent;
class wxUpdateUIEvent;

class CResultsText {
public:
    explicit CResultsText(CChildFrame& frame) : m_frame(frame) {}

    void SetResultsGrids(IResultsGrids* grids) { m_pGrids = grids; }

    // ShowMessages: the messages buffer, trimmed, in the results view (grids hidden); the
    // result-set pane reads "Messages".
    void ShowMessages();
    // FlushOutputText: what the buffer of the mode gained since the last flush goes into the
    // results view, which so always shows the buffer trimmed at both ends. A buffer that did
    // not grow changes nothing. A large gain goes in piece by piece, each piece an event of its
    // own, so that the window answers the user in between.
    void FlushOutputText(bool textOutput);
    // Text taken from the buffer is still going into the view.
    bool IsAppending() const { return m_nPendingFrom < m_strPending.length(); }
    // The view emptied (with its remembered selection) at the start of a run.
    void ClearView();
    // The buffer the view follows was emptied; the view keeps its text (and takes in what
    // was taken from the buffer before).
    void ForgetBuffer();

    // UpdateResultSetPane: the result-set pane's text refreshed from the view.
    void UpdateResultSetPane();
    // m_strResultsPaneText and the pane.
    void SetResultsPaneText(const wxString& text);
    int GetLineCount() const;

    void OnResultsInText(wxCommandEvent& event);
    void OnUpdateResultsInText(wxUpdateUIEvent& event);
    void OnMessagesMode(wxCommandEvent& event);
    void OnUpdateMessagesMode(wxUpdateUIEvent& event);

    // The messages view's selection while a grid is shown; -1/-1: the end of the text.
    long m_nSavedSelStart = 0;
    long m_nSavedSelEnd = 0;

private:
    // Appends the next piece of the text waiting for the view; schedules the one after.
    void AppendPending();
    void ClearPending();

    CChildFrame& m_frame;
    IResultsGrids* m_pGrids = nullptr;
    // How far the view follows the buffer: the buffer's length when last looked at, and the end
    // of what the view shows of it.
    bool m_bShown = false;
    size_t m_nBufferSeen = 0;
    size_t m_nShownTo = 0;
    // Taken from the buffer, not yet in the view.
    wxString m_strPending;
    size_t m_nPendingFrom = 0;
    bool m_bAppendScheduled = false;
};
