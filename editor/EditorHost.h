// The window an SQL editor view lives in when it is part of a query window: it gives the view the
// pane to make its editor in and takes the editor once made, and tells the document which of its
// panes is active. A view without such a host makes a frame of its own. Called on the window
// thread only.
#pragma once

class wxWindow;

class IEditorHost {
public:
    virtual wxWindow* GetEditorPane() const = 0;
    virtual void SetEditorWindow(wxWindow* editor) = 0;
    // The editor, not the schema or the results, is the window's active pane.
    virtual bool IsEditorPaneActive() const = 0;
    // Brings the window to the front among the query windows.
    virtual void ActivateWindow() = 0;

protected:
    ~IEditorHost() = default;
};
