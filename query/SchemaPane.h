// The schema pane of a query window, as the window itself uses it: resetting it to the
// connection node, handing a statement to the editor, showing its focused item, the quote
// characters, and whether the pane's own Find is searching. The schema browser
// implements it; the shell makes it for each window (IQueryHost::CreateSchemaPane). Window
// thread only.
#pragma once

#include <wx/scrolwin.h>

class CSchemaPane : public wxScrolledCanvas {
public:
    CSchemaPane(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
        : wxScrolledCanvas(parent, id, pos, size, style)
    {
    }

    // Deletes every item and inserts the connection node, bold, selected and expanded.
    virtual void ResetTree() = 0;
    // Appends the statement at the end of the window's editor as one undoable step and leaves it
    // selected.
    virtual void AppendToQueryEditor(const wxString& statement) = 0;
    // Scrolls the focused item into view (when the pane becomes the active one).
    virtual void EnsureCaretVisible() = 0;

    wxString m_strQuotePrefix;
    wxString m_strQuoteSuffix;
    int m_bSearching = 0;        // the pane's own Find is searching the tree
};
