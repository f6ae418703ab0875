// The window an SQL editor view lives in when it is part of a query window: it gives the view the
// pane to make its editor in and takes the editor once made, tells the document which of its
// panes is active and what the window title is built from. A view without such a host makes a
// frame of its own. Called on the window thread only.
#pragma once

#include "editor/QueryTitle.h"

class wxWindow;

class IEditorHost {
public:
    virtual wxWindow* GetEditorPane() const = 0;
    virtual void SetEditorWindow(wxWindow* editor) = 0;
    // The editor, not the schema or the results, is the window's active pane.
    virtual bool IsEditorPaneActive() const = 0;
    // Brings the window to the front among the query windows.
    virtual void ActivateWindow() = 0;

    // The connection texts of the window's title; false while the window has no connection.
    virtual bool GetTitleConnection(CQueryTitleConnection& connection) const = 0;
    // The SQL text last taken from the editor for execution (empty before the first run).
    virtual wxString GetLastExecutedSql() const = 0;

protected:
    ~IEditorHost() = default;
};
