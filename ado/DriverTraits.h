// What the layer needs to know about the driver behind a connection: settings that make it
// stream results, and how its data come back.
#pragma once

#include "ConnectionString.h"

#include <sql.h>

#include <string_view>

namespace ado::detail {

enum class DriverFamily { Other, SQLite, PostgreSQL };

struct DriverTraits {
    DriverFamily family = DriverFamily::Other;
    // SQL_C_CHAR data come back as UTF-8 whatever the locale; otherwise text is read as
    // SQL_C_WCHAR.
    bool utf8Text = false;
    // Column types are only declarations: any value may arrive in any column, so typed
    // columns are read as text and converted here, keeping what does not convert as text.
    bool dynamicTyping = false;
    // One statement per SQLExecDirect: batches are split by the layer.
    bool singleStatement = false;
    // The ANSI entry points take and give UTF-8 as it stands, where the wide ones do not
    // (the SQLite driver loses characters beyond 16 bits and miscounts name lengths).
    bool utf8Ansi = false;
    // The driver's wide messages carry their UTF-8 bytes one per unit.
    bool bytesInWideMessages = false;
    // The driver's column names begin after their last "." ("x.y" is named "y"); where the
    // driver keeps the whole of a name, it is the column's label.
    bool cutsNamesAtDots = false;
    // The driver refuses a ";" anywhere outside string literals, even in comments.
    bool scansForSemicolons = false;
    // The driver fills each text buffer to its end (strncpy), so buffer size costs time.
    bool padsBuffers = false;
    // SQLGetData works on bound columns, and on any row of a block after SQLSetPos.
    bool getDataBound = false;
    bool getDataBlock = false;
    // SQLCancel interrupts every call under way on the connection and also closes the
    // statement's cursor, unguarded: it must never name a statement that another thread is
    // inside of. Such a call is interrupted by cancelling an idle statement of the same
    // connection instead.
    bool cancelClosesCursor = false;
};

// The family of a driver library, from its file name.
DriverFamily FamilyOfDriverFile(std::string_view file);

// The family of the driver that the attributes will load (DRIVER, or DSN through odbc.ini),
// looked up in the ODBC configuration before connecting.
DriverFamily FamilyBeforeConnect(const AttributeList& attributes);

// Settings the layer adds, unless the string sets them, so that results stream instead of
// being read whole at execution: SQLite steps through rows (StepAPI), PostgreSQL reads
// through a cursor (UseDeclareFetch) in blocks of Fetch rows.
void AddStreamingDefaults(DriverFamily family, AttributeList& attributes);

// The traits that follow from the driver's family alone; known before connecting.
DriverTraits TraitsOfFamily(DriverFamily family);

// Reads the traits of an open connection.
DriverTraits ReadDriverTraits(SQLHDBC hdbc);

} // namespace ado::detail
