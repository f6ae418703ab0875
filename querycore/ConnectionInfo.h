// What a query window knows of its open connection: the descriptive properties, the capabilities,
// the dialect flags derived from the DBMS name, and the identifier quotes in force. Built on the
// window's settings because the batch separator and the quoted-identifier choice start there.
// Needs no window, so tests drive it on real connections.
#pragma once

#include "ado/Ado.h"
#include "QueryWindowSettings.h"

#include <wx/string.h>

class CConnectionInfo : public CQueryWindowSettings {
public:
    explicit CConnectionInfo(CSettingsStore& store) : CQueryWindowSettings(store) {}
    virtual ~CConnectionInfo() = default;

    // Reads the connection's properties, derives the flags, normalises the batch separator,
    // reads the quotes and probes for a T-SQL server. Every property is read on its own, so a
    // missing one leaves its member unchanged; false only when something unexpected stopped it.
    bool ReadConnectionInfo();

    // "Current Catalog" and "Server Name", each read on its own; the data source falls back to
    // the catalog, then to the server name.
    void UpdateConnectionTitle(const ado::PropertiesPtr& properties);

    // The provider's QUOTE and QUOTE_SUFFIX literals, trimmed; a lone "[" or '"' gets its partner.
    void GetIdentifierQuotes();
    // Decides the quote characters in force and hands them to OnQuotesChanged; always true.
    bool SetQuotedIdentifiers(bool use);
    // Quoting switched on by the user's SET statement: the provider's quotes when it has both,
    // else double quotes.
    void UseQuotedIdentifiers();
    // Whether the server answers the T-SQL catalog query the database list needs.
    bool ProbeSysDatabases();
    // Whether the provider accepts an asynchronous open ("SELECT 2*3" opened with adAsyncExecute).
    bool ProbeAsyncExecution();

    // The flags from the names read: provider file, DBMS name, driver name.
    void ApplyDialectFlags();
    // "MICROSOFT SQL SERVER" or "MS SQL SERVER" in a version other than 6.x.
    bool IsModernSqlServer() const;

    ado::ConnectionPtr m_pConnection;
    ado::RecordsetPtr m_pRecordset; // shared by the window's synchronous catalog queries

    wxString m_strProviderFile;
    wxString m_strProviderVersion;
    wxString m_strProviderFriendlyName;
    wxString m_strDataSource;
    wxString m_strCurrentCatalog;
    wxString m_strServerName;
    wxString m_strDbmsName;      // trimmed, letter case as reported
    wxString m_strDbmsNameUpper; // upper-cased; all dialect tests use this copy
    wxString m_strDbmsVersion;
    wxString m_strDriverName;
    wxString m_strDriverVersion;
    wxString m_strUserId;

    int m_bMultipleResults = 0;
    int m_bStoredProcedures = 0;
    int m_bTransactions = 0;

    int m_bOdbcProvider = 0;
    int m_bJet = 0;
    int m_bFoxPro = 0;
    int m_bDb2 = 0;
    int m_bOracle = 0;
    int m_bMySql = 0;
    int m_bOlap = 0;
    int m_bTSql = 0;

    wxString m_strProviderQuotePrefix;
    wxString m_strProviderQuoteSuffix;
    wxString m_strQuotePrefix;
    wxString m_strQuoteSuffix;

protected:
    // The quotes in force changed; the window hands them to its schema pane.
    virtual void OnQuotesChanged() {}
};
