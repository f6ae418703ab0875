// The window an SQL editor view lives in when it is part of a query window: it gives the view the
// pane to make its editor in and takes the editor once made. A view without such a host makes a
// frame of its own. Called on the window thread only.
#pragma once

class wxWindow;

class IEditorHost {
public:
    virtual wxWindow* GetEditorPane() const = 0;
    virtual void SetEditorWindow(wxWindow* editor) = 0;

protected:
    ~IEditorHost() = default;
};
