#include "SchemaRow.h"
#include "SchemaTreeModel.h"
#include "SelectStatement.h"

#include "common/IdentifierText.h"
#include "common/ValueText.h"

namespace {

const long kDbTimeStamp = 135; // adDBTimeStamp

// The status text for as long as it lives, then an empty one.
class CStatusText {
public:
    CStatusText(ISchemaHost& host, const wxString& text) : m_host(host) { m_host.SetStatusText(text); }
    ~CStatusText() { m_host.SetStatusText(wxString()); }
    CStatusText(const CStatusText&) = delete;
    CStatusText& operator=(const CStatusText&) = delete;

private:
    ISchemaHost& m_host;
};

std::vector<_variant_t> TableRestrictions(const CSchemaNodeData& table)
{
    return {RestrictionText(table.m_strCatalog), RestrictionText(table.m_strSchema),
            _variant_t(table.m_strName.utf8_string())};
}

void CutLastSeparator(wxString& list)
{
    if (!list.empty())
        list.RemoveLast(2);
}

} // namespace

void CSchemaTreeModel::ReadColumnDetails(CSchemaRow& row, CSchemaColumnData& data, bool isParameter,
                                         bool isResultColumn)
{
    if (isParameter) {
        // PARAMETER_TYPE counts input, input/output, output, return value; the names are the
        // parameter directions of the object model, which count output before input/output.
        switch (row.Integer("PARAMETER_TYPE")) {
        case 1: data.m_strName += " (adParamInput)"; break;
        case 2: data.m_strName += " (adParamInputOutput)"; break;
        case 3: data.m_strName += " (adParamOutput)"; break;
        case 4: data.m_strName += " (adParamReturnValue)"; break;
        default: data.m_strName += " (adParamUnknown)"; break;
        }
    } else if (isResultColumn) {
        data.m_strName += " (Result Column)";
    }
    const long type = row.Integer("DATA_TYPE");
    data.m_strDataType = GetAdoDataTypeText(type);
    const _variant_t length = row.Value("CHARACTER_OCTET_LENGTH");
    if (!length.IsNull()) {
        try {
            data.m_strLength = wxString::FromUTF8(length.ToString());
        } catch (const _com_error&) {
            data.m_strLength = CSchemaRow::ValueText(length);
        }
    }
    if (type != kDbTimeStamp)
        data.m_strPrecision = row.Text("NUMERIC_PRECISION");
    else if (!isParameter && !isResultColumn)
        data.m_strPrecision = row.Text("DATETIME_PRECISION");
    data.m_strScale = row.RepeatedText("NUMERIC_SCALE");
    data.m_strDescription = row.Text("DESCRIPTION");
    data.m_strNullable = row.RepeatedText("IS_NULLABLE");
    if (data.m_strNullable == "1")
        data.m_strNullable = "Yes";
    else if (data.m_strNullable == "0")
        data.m_strNullable = "No";
}

bool CSchemaTreeModel::GetPrimaryKeyColumns(const std::vector<_variant_t>& restrictions, std::set<wxString>& out)
{
    out.clear();
    try {
        ado::RecordsetPtr recordset;
        try {
            recordset = m_host.OpenSchema(ado::adSchemaPrimaryKeys, restrictions);
        } catch (const _com_error&) {
            // A provider without the rowset: no key marks.
            return true;
        }
        CSchemaRow row(recordset);
        if (!row.IsEmpty()) {
            for (; !row.AtEnd(); row.MoveNext())
                out.insert(row.Text("COLUMN_NAME"));
        }
        return true;
    } catch (const _com_error&) {
        // The columns are listed all the same, only without their key marks.
        return false;
    }
}

bool CSchemaTreeModel::GetForeignKeyColumns(const CSchemaNodeData& table, std::set<wxString>& out)
{
    out.clear();
    try {
        ado::RecordsetPtr recordset;
        try {
            recordset = m_host.OpenSchema(ado::adSchemaForeignKeys,
                                          {_variant_t(), _variant_t(), _variant_t(), RestrictionText(table.m_strCatalog),
                                           RestrictionText(table.m_strSchema), RestrictionText(table.m_strName)});
        } catch (const _com_error&) {
            return true;
        }
        CSchemaRow row(recordset);
        if (!row.IsEmpty()) {
            for (; !row.AtEnd(); row.MoveNext())
                out.insert(row.Text("FK_COLUMN_NAME"));
        }
        return true;
    } catch (const _com_error&) {
        // The columns are listed all the same, only without their key marks.
        return false;
    }
}

bool CSchemaTreeModel::LoadColumns(TreeItem node)
{
    try {
        const auto* table = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(node));
        if (!table) {
            InsertMarker(node, std::nullopt, kindMarker);
            return true;
        }
        const std::vector<_variant_t> restrictions = TableRestrictions(*table);
        // Keys only mark the columns: a provider that cannot give them still lists the columns.
        std::set<wxString> primaryKey, foreignKeys;
        GetPrimaryKeyColumns(restrictions, primaryKey);
        GetForeignKeyColumns(*table, foreignKeys);
        CSchemaRow row(m_host.OpenSchema(ado::adSchemaColumns, restrictions));
        if (row.IsEmpty()) {
            InsertMarker(node, std::nullopt, kindMarker);
            return true;
        }
        for (; !row.AtEnd(); row.MoveNext()) {
            CSchemaColumnData column;
            column.m_strName = row.Text("COLUMN_NAME");
            column.m_nKind = primaryKey.count(column.m_strName) ? kindPrimaryKeyColumn
                             : foreignKeys.count(column.m_strName) ? kindForeignKeyColumn
                                                                   : kindColumn;
            ReadColumnDetails(row, column, false, false);
            CSchemaColumnData& stored = m_columns.emplace_back(std::move(column));
            m_tree.AppendItem(node, stored.m_strName, stored.m_nKind, false, &stored);
        }
        return true;
    } catch (...) {
        return ReportFailure(std::current_exception(), true);
    }
}

bool CSchemaTreeModel::GetColumnList(const CSchemaNodeData& table, wxString& out)
{
    CStatusText status(m_host, "Please wait...");
    out.clear();
    const wxString prefix = m_host.GetQuotePrefix(), suffix = m_host.GetQuoteSuffix();
    try {
        ado::RecordsetPtr recordset;
        try {
            recordset = m_host.OpenSchema(ado::adSchemaColumns, TableRestrictions(table));
        } catch (const _com_error&) {
            return true;
        }
        CSchemaRow row(recordset);
        if (!row.IsEmpty()) {
            for (; !row.AtEnd(); row.MoveNext())
                out += QuoteIdentifier(row.Text(3), prefix, suffix) + ", ";
        }
        CutLastSeparator(out);
        return true;
    } catch (const _com_error&) {
        // The caller selects the table's * instead, which names the same columns.
        out.clear();
        return false;
    }
}

bool CSchemaTreeModel::GetSelectedColumnList(wxString& out)
{
    CStatusText status(m_host, "Please wait...");
    out.clear();
    const wxString prefix = m_host.GetQuotePrefix(), suffix = m_host.GetQuoteSuffix();
    const TreeItem caret = m_tree.GetCaret();
    if (!caret)
        return true;
    try {
        for (TreeItem child = m_tree.GetFirstChild(caret); child; child = m_tree.GetNextSibling(child)) {
            if (const auto* column = dynamic_cast<const CSchemaColumnData*>(m_tree.GetData(child)))
                out += QuoteIdentifier(column->m_strName, prefix, suffix) + ", ";
        }
        CutLastSeparator(out);
        return true;
    } catch (...) {
        // The caller selects the table's * instead, which names the same columns.
        out.clear();
        return false;
    }
}

wxString CSchemaTreeModel::BuildSelectStatement(int rows, wxString* objectName)
{
    if (m_host.IsBusy())
        return wxString();
    const TreeItem caret = m_tree.GetCaret();
    if (!caret)
        return wxString();
    const int kind = m_tree.GetKind(caret);
    const wxString prefix = m_host.GetQuotePrefix(), suffix = m_host.GetQuoteSuffix();
    const CSelectDialect dialect = CSelectDialect::FromConnection(m_host.Connection(), m_host.GetConnectionString());
    if (IsTableLikeKind(kind)) {
        const auto* table = dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(caret));
        if (!table)
            return wxString();
        const wxString name = QuoteQualifiedName(table->m_strSchema, table->m_strName, prefix, suffix);
        if (objectName)
            *objectName = name;
        wxString cols;
        const bool listed = IsSortedKind(kind) ? GetSelectedColumnList(cols) : GetColumnList(*table, cols);
        if (!listed || cols.empty())
            cols = name + ".*";
        return BuildRowLimitedSelect(dialect, name, cols, false, rows);
    }
    if (IsColumnKind(kind)) {
        const TreeItem parent = m_tree.GetParent(caret);
        const auto* table = parent ? dynamic_cast<const CSchemaNodeData*>(m_tree.GetData(parent)) : nullptr;
        if (!table)
            return wxString();
        const wxString name = QuoteQualifiedName(table->m_strSchema, table->m_strName, prefix, suffix);
        wxString cols;
        if (m_selection.GetSelectedCount(true) <= 1) {
            cols = QuoteIdentifier(m_tree.GetText(caret), prefix, suffix);
        } else {
            // The caret's selected siblings only; selected items of other parents do not count.
            for (TreeItem child = m_tree.GetFirstChild(parent); child; child = m_tree.GetNextSibling(child)) {
                if (m_tree.IsSelected(child))
                    cols += QuoteIdentifier(m_tree.GetText(child), prefix, suffix) + ", ";
            }
            CutLastSeparator(cols);
        }
        // Nothing of this table is selected: no statement without columns.
        if (cols.empty())
            return wxString();
        if (objectName)
            *objectName = name + "." + (cols.Contains(", ") ? wxString("_") : cols);
        return BuildRowLimitedSelect(dialect, name, cols, true, rows);
    }
    return wxString();
}
