// What the General page of the properties sheet shows for a node: up to six label and value
// pairs by the node's kind (the connection's facts; a folder's name; an object's qualified name,
// type, qualifier, schema and remarks; a column's or parameter's name and type details).
#pragma once

#include <wx/string.h>

#include <array>
#include <optional>
#include <utility>

class CConnectionInfo;
class CSchemaColumnData;
class CSchemaNodeData;

// The six pairs in order; a pair without a value is hidden.
using CGeneralPairs = std::array<std::optional<std::pair<wxString, wxString>>, 6>;

// The folder's text by its kind ("Tables" ...); empty for other kinds.
wxString GetFolderText(int kind);

// The pairs for the node. Names are quoted with the window's quote characters in force. object
// is the object's data (for a column or parameter: its table's or procedure's); column the
// column's. none for a kind that shows nothing (markers, or a node without its data).
std::optional<CGeneralPairs> BuildGeneralPairs(const CConnectionInfo& connection, const wxString& quotePrefix,
                                               const wxString& quoteSuffix, int kind, const CSchemaNodeData* object,
                                               const CSchemaColumnData* column);
