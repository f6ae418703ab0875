// Design's query: what returns a view's or a procedure's source text from the DBMS's own
// catalog, by the first rule that fits the connected DBMS, or the object's name with a marker
// text where the DBMS has no such catalog. A pure function of its arguments but for the Oracle
// rule, which upper-cases the object's type text in its item data.
#pragma once

#include "SelectStatement.h"

#include <wx/string.h>

class CSchemaNodeData;

// The object's name and schema go into string literals with their "'" doubled, so that a name
// cannot end its literal early.
wxString ComposeObjectSourceQuery(const CSelectDialect& dialect, const wxString& quotePrefix,
                                  const wxString& quoteSuffix, CSchemaNodeData& object, bool isProcedure);
