// Reading a connection's provider types into the type map, and the text report of them. No
// window: the dialog calls these, and tests drive them on real connections.
//
// Errors: LoadProviderTypes and ReadReportHeader throw _com_error for failures of the
// connection as a whole (with the connection's Errors filled by the data layer); a single
// field that cannot be read leaves its text empty. WriteProviderTypesReport throws
// CFileException naming the file for any failure to write it, and then leaves an earlier file
// of that name as it was.
#pragma once

#include "ProviderTypeInfo.h"

#include "ado/Ado.h"

#include <wx/string.h>

#include <functional>
#include <string>

// Reads the provider-types schema rowset into map. The first row of a name stays; later rows
// of the same name are dropped. A row whose name cannot be read goes under the empty name.
void LoadProviderTypes(ado::Connection& connection, ProviderTypeMap& map);

// What the report says about the connection, each read on its own (empty when unreadable).
struct ProviderTypesHeader {
    wxString providerName;
    wxString providerVersion;
    wxString driverName;
    wxString driverVersion;
    wxString dbmsName; // upper case (ASCII letters only, so other characters stay intact)
    wxString dbmsVersion;
    wxString adoVersion;
};
ProviderTypesHeader ReadReportHeader(ado::Connection& connection);

// "<provider name up to its first '.'>_<DBMS name>", both trimmed; the provider part is empty
// when the name holds no '.'.
wxString MakeReportIdentifier(const ProviderTypesHeader& header);
// "[" + the identifier made a file name + "_Types]"; "[" + a new GUID name + "_Types]" when
// that would be too long a file name (with the ".txt" the file dialog adds).
wxString GetDefaultFileName(const wxString& identifier);

// The report's text with "\n" line ends: six header lines, then one section per type in map
// order.
std::string FormatProviderTypesReport(const ProviderTypesHeader& header, const ProviderTypeMap& map);
// Writes the report to path with CR LF line ends; an existing file is replaced only by the
// whole report.
void WriteProviderTypesReport(const wxString& path, const ProviderTypesHeader& header, const ProviderTypeMap& map);
