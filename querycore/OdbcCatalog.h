// What the ODBC driver manager knows: the installed drivers and the data source names.
#pragma once

#include <wx/string.h>

#include <vector>

struct COdbcDriver {
    wxString name;       // as the driver manager lists it ("SQLite3")
    wxString attributes; // "key=value" pairs joined by ";" ("Driver=libsqlite3odbc.so;...")
};

struct COdbcDataSource {
    wxString name;
    wxString driver; // the description the driver manager gives: the driver's name
};

// The installed drivers in the driver manager's order, at most maxCount; an environment that
// cannot be allocated gives none.
std::vector<COdbcDriver> EnumOdbcDrivers(size_t maxCount = 512);
// User and system data sources, sorted by name.
std::vector<COdbcDataSource> EnumOdbcDataSources();

// Whether the driver keeps its database in a file named by the "Database" attribute rather than
// on a server (the SQLite drivers); decided from its name and its library.
bool IsFileDatabaseDriver(const wxString& driverName, const wxString& attributes = wxString());
