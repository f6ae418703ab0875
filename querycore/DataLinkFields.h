// The fields of the data link dialog and the ADO connection string they stand for:
// "Provider=MSDASQL.1;Persist Security Info=...;Extended Properties="<ODBC attributes>"".
// Parsing accepts that form, the same with the login given as "User ID"/"Password"/"Data Source"/
// "Initial Catalog", and a bare ODBC connect string.
#pragma once

#include <wx/string.h>

#include <vector>

struct CDataLinkFields {
    bool useDsn = false;
    wxString dsn;
    wxString driver;
    wxString server;
    wxString port;
    wxString database; // the database file for file databases
    wxString user;
    wxString password;
    bool hasUser = false;     // the string names a user (possibly empty)
    bool hasPassword = false; // the string names a password (possibly empty)
    bool persistSecurityInfo = false;
    wxString otherAttributes; // further ODBC attributes, "key=value;..."
    wxString provider;        // as the string names it; empty for a bare ODBC string

    // The ODBC connect string ("DRIVER={x};Server=...;" or "DSN=x;...").
    wxString BuildOdbcString() const;
    // The ADO connection string handed to the data layer.
    wxString BuildConnectString() const;
    // The string a data link file keeps: as BuildConnectString, but without the password
    // (also one given among the further attributes) unless saving it is allowed.
    wxString BuildSavedConnectString() const;

    static CDataLinkFields Parse(const wxString& connectString);

    // The string connects through the ODBC provider (named or by default).
    bool IsOdbcBridge() const;
    // Whether the data source needs a server login (user and password), as opposed to a file.
    bool IsFileDatabase() const;
    // The login attributes a connection from these fields lacks: for a file database its file,
    // for a server its user, password and database. A data source name supplies its own database.
    // Nothing for other providers, whose attributes are not ODBC's.
    enum Missing { MissingUser = 1, MissingPassword = 2, MissingDatabase = 4 };
    int GetMissingLogin() const;

    // The name the dialogs show for the data source: the DSN or the driver.
    wxString GetSourceName() const { return useDsn ? dsn : driver; }
};

// An ODBC attribute value as the connect string must carry it: in braces (closing braces
// doubled) when it holds ";", "{", "}", "=" or blanks at either end.
wxString QuoteOdbcValue(const wxString& value);

// "key=value" pairs of an ODBC connect string, in order, read by the data layer's parser as
// the connection reads them (braces honoured); of a malformed string, the pairs before the fault.
std::vector<std::pair<wxString, wxString>> SplitOdbcString(const wxString& odbc);
// The same for an ADO connection string (quotes and braces honoured).
std::vector<std::pair<wxString, wxString>> SplitOleDbString(const wxString& connectString);
