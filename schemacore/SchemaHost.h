// What the schema browser needs of its query window: the connection's facts and dialect flags,
// its schema rowsets, whether it is busy, the main window's status text and message box, and the
// row limit of the next run. The query window's schema pane implements it; tests give their own.
// Window thread only.
#pragma once

#include "ado/Ado.h"
#include "querycore/ConnectionInfo.h"

#include <wx/string.h>

#include <vector>

class ISchemaHost {
public:
    // The window's connection facts, flags and settings (user name, provider file, DBMS name,
    // stored-procedure support, dialect flags, batch separator, row limit).
    virtual CConnectionInfo& Connection() = 0;
    // OpenSchema on the window's connection; throws _com_error (E_POINTER without a connection).
    virtual ado::RecordsetPtr OpenSchema(ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions) = 0;
    // The text of the connection's Errors collection; empty when there is none.
    virtual wxString GetProviderErrorsText() = 0;

    // The identifier quote characters in force (empty: names go unquoted).
    virtual wxString GetQuotePrefix() const = 0;
    virtual wxString GetQuoteSuffix() const = 0;

    // The connection string as the connection reports it.
    virtual wxString GetConnectionString() const = 0;
    virtual bool IsConnectionOpen() const = 0;
    virtual bool IsExecuting() const = 0;
    virtual bool IsFindInFilesRunning() const = 0;
    // A run or a Find in Files search is under way: the window's one answer.
    virtual bool IsBusy() const = 0;

    // Pane 0 of the main window's status bar.
    virtual void SetStatusText(const wxString& text) = 0;
    // The hourglass; calls nest.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // A message box with the stop icon and an OK button.
    virtual void ShowStopMessage(const wxString& text) = 0;
    // The window re-reads "Current Catalog" and "Server Name", and its document rebuilds its title.
    virtual void UpdateConnectionTitle() = 0;

protected:
    ~ISchemaHost() = default;
};
