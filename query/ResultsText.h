// The text side of a query window's results pane: the messages of a grid-mode run and the whole
// output of a Results in Text run, shown from the run's buffers; the Results in Text switch with
// its warning; the Messages command; and the result-set pane's text. Used on the window's thread
// only; the run's buffers are read and taken through the run state.
#pragma once

#include "querycore/QueryRunState.h"
#include "RunWindow.h"

#include <wx/string.h>
#include <wx/timer.h>

#include <cstddef>
#include <deque>

class wxStyledTextCtrl;
class CWindowConnection;
struct COutputMode;
struct CRunViewState;
class IResultsGrids;
class wxCommandEvent;
class wxUpdateUIEvent;

class CResultsText {
public:
    CResultsText(IRunWindow& window, CQueryRunState& run, CRunViewState& view, COutputMode& output,
                 CWindowConnection& connection);

    void SetResultsGrids(IResultsGrids* grids) { m_pGrids = grids; }

    // ShowMessages: the messages buffer, trimmed, in the results view (shown when hidden, its
    // grids hidden); the result-set pane reads "Messages".
    void ShowMessages();
    // FlushOutputText: what the buffer of the mode gained since the last flush goes into the
    // results view, which so always shows the buffer trimmed at both ends. A buffer that did
    // not grow changes nothing. The text output's buffer gives up what the view took (all but
    // its last shown character, so that it still tells whether anything was written). The
    // view takes text in for a few milliseconds at a time and goes on from the event loop, so
    // that the window answers the user however large the gain.
    void FlushOutputText(bool textOutput);
    // Text taken from the buffer is still going into the view.
    bool IsAppending() const { return !m_pending.empty(); }
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
    // Text taken from a buffer for the view: [from, to) of text is still to go in.
    struct CPendingText {
        // Takes the source's text without a copy (a wxString moves by copying).
        CPendingText(wxString& source, size_t first, size_t end) : from(first), to(end) { text.swap(source); }
        wxString text;
        size_t from;
        size_t to;
    };

    // Appends the text waiting for the view until it is all in or the time for one turn of the
    // event loop is spent; then the timer brings the next turn.
    void AppendPending();
    void ClearPending();
    // Makes room in the view's document for what it holds and what waits, with room to grow.
    void MakeRoom(wxStyledTextCtrl& view);

    IRunWindow& m_window;
    CQueryRunState& m_run;
    CRunViewState& m_view;
    COutputMode& m_output;
    CWindowConnection& m_connection;
    IResultsGrids* m_pGrids = nullptr;
    // How far the view follows the run's output buffer.
    COutputCursor m_cursor;
    // Taken from the buffer, not yet in the view, in the order taken.
    std::deque<CPendingText> m_pending;
    size_t m_nPendingLength = 0;
    wxTimer m_appendTimer;
    // The room made in the view's document so far; it never gives room back.
    size_t m_nRoom = 0;
};
