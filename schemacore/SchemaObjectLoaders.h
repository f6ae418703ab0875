// The rules of the object loaders that need no tree: the restrictions each folder asks the
// TABLES and PROCEDURES rowsets with, the folder a TABLE_TYPE belongs to, and the text of a
// PROCEDURE_TYPE. The loaders themselves are members of CSchemaTreeModel.
#pragma once

#include "platform/com/Variant.h"

#include <wx/string.h>

#include <vector>

// TABLE_CATALOG, TABLE_SCHEMA, TABLE_NAME, TABLE_TYPE for a folder: the user's own schema for
// Tables or Views whose Show All is off (never on Jet); the ODBC bridge gets the folder's table
// types as a list ("'TABLE','VIEW'"), every other provider no type restriction.
std::vector<_variant_t> TablesRestrictions(int folderKind, bool showAllTables, bool showAllViews,
                                           const wxString& userName, bool jet, const wxString& providerFile);
// PROCEDURE_CATALOG, PROCEDURE_SCHEMA, PROCEDURE_NAME, PROCEDURE_TYPE.
std::vector<_variant_t> ProceduresRestrictions(bool showAllProcs, const wxString& userName, bool jet);

// The folder kind whose objects have this TABLE_TYPE (any letter case); 0 for none.
int FolderKindOfTableType(const wxString& type);

// "<Unknown>", "Procedure" or "Function" for a type text starting with 1, 2 or 3; any other
// text as it is.
wxString ProcedureTypeText(const wxString& typeText);
