// The schema tree pane of a query window, as far as the window itself needs it: the connection
// node, the statement hand-over to the editor, the quote characters and the requests the window
// reads at the end of a run. The schema browser builds the object tree on this.
#pragma once

#include <wx/treectrl.h>

class CChildFrame;

class CSchemaView : public wxTreeCtrl {
public:
    CSchemaView(wxWindow* parent, CChildFrame* frame);

    // Deletes every item and inserts the connection node, bold, selected and expanded.
    void ResetTree();
    // "<catalog> (<server>)", else the data source; "<Unknown>" when empty.
    wxString GetConnectionCaption() const;

    // Appends the statement at the end of the window's editor as one undoable step and leaves it
    // selected: a blank line before it when the editor holds text, ";" after it for dialects that
    // end statements so, then the batch separator on a line of its own when one is set.
    void AppendToQueryEditor(const wxString& statement);

    wxString m_strQuotePrefix;
    wxString m_strQuoteSuffix;
    int m_bReturnToGridMode = 0; // set by Design, which switched the window to text output
    int m_bReturnToTextMode = 0; // set by the row-returning commands, which switched text output off
    int m_bSearching = 0;        // the view's own Find is searching the tree

private:
    CChildFrame* m_pFrame;
};
