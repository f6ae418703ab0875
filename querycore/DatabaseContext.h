// The database a query window works in: the statements that list a server's databases, read
// the current one and switch to another, the items of the toolbar's database list, and the
// USE and SET statements a run is followed for. The dialect decides: a MySQL server lists its
// databases with SHOW DATABASES and switches with USE; a T-SQL server lists sysdatabases and
// switches through the "Current Catalog" property; an OLAP provider lists its catalogs rowset.
// Any other DBMS (SQLite, PostgreSQL) has no list: one database per file, or per connection.
//
// CDatabaseContext runs its queries on the connection's shared m_pRecordset, closing it before
// and after. UI thread only, between runs.
#pragma once

#include "ConnectionInfo.h"

#include <wx/string.h>

#include <vector>

namespace database_list {
// Images of the list's items.
inline constexpr int kImageNotSupported = 0;
inline constexpr int kImageLabel = 1;
inline constexpr int kImageDatabase = 2;
inline constexpr int kImageRefresh = 3;

inline constexpr const char* kNoData = "<No Data>";
inline constexpr const char* kRefresh = "<Refresh>";
inline constexpr const char* kNotSupported = "<Not supported>";
inline constexpr const char* kProviderError = "<Provider Error>";
inline constexpr const char* kComError = "<_com_error>";
inline constexpr const char* kErrorsOccurred = "<Errors occurred>";
// Stands selected for a current database the list does not hold.
inline constexpr const char* kBlank = " ";
} // namespace database_list

struct CDatabaseListItem {
    wxString text;
    int image = database_list::kImageDatabase;
};

struct CDatabaseList {
    std::vector<CDatabaseListItem> items;
    bool ok = false;
    // The item the load itself selects ("<No Data>" or the error label); -1 when the current
    // database is to be selected.
    int selected = -1;
};

// The items of a loaded list: each name once (a name equal to an earlier one but for letter
// case is left out), "<No Data>" selected when there are none, and "<Refresh>" last.
CDatabaseList BuildDatabaseList(const std::vector<wxString>& names);
// A load that failed: its label alone, selected.
CDatabaseList DatabaseListFailure(const wxString& label);
// The label of a failed load: the provider's errors, else a COM error, else any other failure.
wxString DatabaseListErrorLabel(bool providerErrors, bool comError);
// "<No Data>", "<Not supported>" and "<Refresh>" name no database (letter case ignored).
bool IsDatabaseListCommand(const wxString& text);

// The query that lists the databases: "SHOW DATABASES;" on MySQL, sysdatabases on a T-SQL
// server; empty otherwise (an OLAP provider lists its catalogs rowset instead).
wxString GetDatabaseListQuery(bool mySql, bool tsql);
// The query that reads the current database; empty where there is none.
wxString GetCurrentDatabaseQuery(bool mySql, bool tsql);
// MySQL's switch: "use " + prefix + name + suffix, a suffix inside the name doubled.
wxString GetUseDatabaseStatement(const wxString& quotePrefix, const wxString& quoteSuffix, const wxString& name);
// The name as the "Current Catalog" property takes it: in brackets on a modern SQL Server
// through SQLOLEDB.DLL or SQLNCLI.DLL, or through ODBC with "QuotedId=No" in the connection
// string; a "]" inside the name doubled.
wxString GetCatalogPropertyValue(const wxString& name, bool modernSqlServer, const wxString& providerFile,
                                 bool odbcProvider, const wxString& connectionString);
// A bracketed "Current Catalog" of a modern SQL Server loses its brackets.
wxString StripCatalogBrackets(const wxString& value, bool modernSqlServer);

// What an executed text does to identifier quoting on a T-SQL server: SET QUOTED_IDENTIFIER or
// SET ANSI_DEFAULTS, OFF before ON, in any letter case.
enum class SetOptionsChange { None, QuotesOff, QuotesOn };
SetOptionsChange ReadSetOptions(const wxString& text);

class CDatabaseContext {
public:
    explicit CDatabaseContext(CConnectionInfo& connection) : m_connection(connection) {}

    // Whether the dialect keeps a database list (MySQL, T-SQL, OLAP).
    bool HasDatabaseList() const;
    // The server's databases as the list shows them; failures become the list's label.
    CDatabaseList LoadDatabaseList();
    // The current database as a query reads it (empty where there is no query, or on failure),
    // kept in step with the provider's "Current Catalog". On MySQL with no database in use,
    // "MySQL" is switched to.
    wxString GetCurrentDatabase();
    // The current database as the list selects it: MySQL's query, else "Current Catalog"
    // (without brackets on a modern SQL Server). Failures give an empty text.
    wxString ReadCurrentCatalog();
    // Switches to the database; throws _com_error when the server refuses.
    void ChangeDatabase(const wxString& name);
    // Follows the SET options of an executed text: quoting off or on.
    void TrackSetOptions(const wxString& text);

private:
    void CloseRecordset();
    // Opens the shared recordset on a query (forward-only, read-only); throws.
    void OpenQuery(const wxString& sql);

    CConnectionInfo& m_connection;
};
