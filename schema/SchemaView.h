// The schema tree pane of a query window, as far as the window itself needs it: the connection
// node, the statement hand-over to the editor, the quote characters and the requests the window
// reads at the end of a run. The schema browser builds the object tree on this.
#pragma once

#include "query/SchemaPane.h"

class CChildFrame;

class CSchemaView : public CSchemaPane {
public:
    CSchemaView(wxWindow* parent, CChildFrame* frame);

    // Deletes every item and inserts the connection node, bold, selected and expanded.
    void ResetTree() override;
    // "<catalog> (<server>)", else the data source; "<Unknown>" when empty.
    wxString GetConnectionCaption() const;

    // Appends the statement at the end of the window's editor as one undoable step and leaves it
    // selected: a blank line before it when the editor holds text, ";" after it for dialects that
    // end statements so, then the batch separator on a line of its own when one is set.
    void AppendToQueryEditor(const wxString& statement) override;

private:
    CChildFrame* m_pFrame;
};
