// Reading one schema rowset row by row: fields by column name (looked up once, on first use)
// and their values as the texts the schema browser shows. Errors of the data layer pass
// through as _com_error, among them a column the rowset lacks.
#pragma once

#include "ado/Ado.h"

#include <wx/string.h>

#include <string>
#include <utility>
#include <vector>

// A restriction: no restriction for an empty text, else the text.
_variant_t RestrictionText(const wxString& text);

class CSchemaRow {
public:
    explicit CSchemaRow(ado::RecordsetPtr recordset) : m_recordset(std::move(recordset)) {}

    const ado::RecordsetPtr& Recordset() const { return m_recordset; }
    bool IsEmpty() const { return m_recordset->IsBOF(); }
    bool AtEnd() const { return m_recordset->IsEOF(); }
    void MoveNext() { m_recordset->MoveNext(); }

    _variant_t Value(const char* column);
    _variant_t Value(long index) const { return m_recordset->GetCollect(index); }
    // The value's text: NULL and EMPTY give "", booleans "1" or "0", numbers their decimal text.
    wxString Text(const char* column) { return ValueText(Value(column)); }
    // The value read as an integer; NULL counts as 0.
    long Integer(const char* column);

    static wxString ValueText(const _variant_t& value);

private:
    long IndexOf(const char* column);

    ado::RecordsetPtr m_recordset;
    std::vector<std::pair<std::string, long>> m_indexes;
};
