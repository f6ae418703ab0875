// Reading one schema rowset row by row: fields by column name (looked up once, on first use)
// and their values as the texts the schema browser shows. Folders of many thousands of objects
// are read this way, so values are read without copies where the rowset allows, and texts that
// repeat from row to row (catalog, schema, type) are converted once. Errors of the data layer
// pass through as _com_error, among them a column the rowset lacks.
#pragma once

#include "ado/Ado.h"
#include "ado/MemoryRecordset.h"

#include <wx/string.h>

#include <string>
#include <utility>
#include <vector>

// A restriction: no restriction for an empty text, else the text.
_variant_t RestrictionText(const wxString& text);

class CSchemaRow {
public:
    explicit CSchemaRow(ado::RecordsetPtr recordset)
        : m_recordset(std::move(recordset)), m_pMemory(dynamic_cast<ado::MemoryRecordset*>(m_recordset.get()))
    {
    }

    const ado::RecordsetPtr& Recordset() const { return m_recordset; }
    bool IsEmpty() const { return m_recordset->IsBOF(); }
    bool AtEnd() const { return m_recordset->IsEOF(); }
    void MoveNext() { m_recordset->MoveNext(); }
    // The rowset's row count when it knows it, else 0: room to reserve.
    size_t RowCountHint() const;

    _variant_t Value(const char* column) { return Value(IndexOf(column)); }
    _variant_t Value(long index) const { return m_recordset->GetCollect(index); }
    // The value's text: NULL and EMPTY give "", booleans "1" or "0", numbers their decimal text.
    wxString Text(const char* column) { return Text(IndexOf(column)); }
    wxString Text(long index) const;
    // The same for a column whose value mostly repeats the previous row's.
    wxString RepeatedText(const char* column);
    // The value read as an integer; NULL counts as 0.
    long Integer(const char* column);

    static wxString ValueText(const _variant_t& value);

private:
    struct Column {
        const char* name;
        long index;
        // The last text converted, for RepeatedText.
        std::string utf8;
        wxString text;
        bool converted;
    };
    Column& Find(const char* column);
    long IndexOf(const char* column) { return Find(column).index; }

    ado::RecordsetPtr m_recordset;
    // The layer's schema rowsets are held in memory: their values are read without copies.
    const ado::MemoryRecordset* m_pMemory;
    std::vector<Column> m_columns;
};
