// What a query window's run needs of its window: the editor's text and selection, the results
// pane as a text sink, the status bar and the panes the run enables and disables around itself.
// The query window implements it; the run (CBatchExecution and its collaborators) knows the
// window only through it. UI thread only.
#pragma once

#include <wx/string.h>

class CItemComboBoxEx;
class CQryView;
class CSchemaPane;
class CTorvaneDoc;
class CTVStatusBar;
class IQueryHost;
class wxStyledTextCtrl;
class wxWindow;

class IRunWindow {
public:
    virtual ~IRunWindow() = default;

    // The window itself: the run binds its commands and keys to it, and a command-line run
    // closes it when done.
    virtual wxWindow& GetRunWindow() = 0;
    // The application shell around the window; null once it has gone.
    virtual IQueryHost* GetHost() const = 0;
    virtual bool IsConnectionOpen() const = 0;

    // The editor that holds the text a run executes; null while it has none.
    virtual CQryView* GetQueryView() const = 0;
    virtual CTorvaneDoc* GetQueryDoc() const = 0;
    // The window's title, for a published file's heading when no document names it.
    virtual wxString GetRunTitle() const = 0;
    // Brings the window to the front of its tabs.
    virtual void ActivateRunWindow() = 0;
    // The window is the application's active query window.
    virtual bool IsActiveQueryWindow() const = 0;

    // The results pane as the run's text output shows in it.
    virtual wxStyledTextCtrl* GetResultsText() const = 0;
    virtual bool IsOutputPaneShown() const = 0;
    // Shows or hides the output pane.
    virtual void OnViewOutput() = 0;
    virtual void ActivateResultsPane() = 0;

    virtual CTVStatusBar* GetQueryStatusBar() const = 0;
    // Status pane 0 of the window, with its tip.
    virtual void SetFindStatusText(const wxString& text) = 0;
    // The database list, disabled while a run may change the database; null when there is none.
    virtual CItemComboBoxEx* GetDatabaseList() const = 0;
    virtual CSchemaPane* GetSchemaView() const = 0;
    virtual bool IsPrintPreviewActive() const = 0;
    virtual void ClosePrintPreview() = 0;
    // "Do not warn again" of Results in Text, for every query window of the application.
    virtual void TurnOffResultsInTextWarning() = 0;
};
