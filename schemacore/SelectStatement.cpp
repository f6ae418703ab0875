#include "SelectStatement.h"

#include "common/IdentifierText.h"
#include "querycore/ConnectionInfo.h"

CSelectDialect CSelectDialect::FromConnection(const CConnectionInfo& connection, const wxString& connectionString)
{
    CSelectDialect d;
    d.oracle = connection.m_bOracle != 0;
    d.db2 = connection.m_bDb2 != 0;
    d.jet = connection.m_bJet != 0;
    d.foxPro = connection.m_bFoxPro != 0;
    d.mySql = connection.m_bMySql != 0;
    d.tSql = connection.m_bTSql != 0;
    d.dbmsNameUpper = connection.m_strDbmsNameUpper;
    d.connectionString = connectionString;
    return d;
}

wxString BuildRowLimitedSelect(const CSelectDialect& d, const wxString& name, const wxString& cols, bool columnNode,
                               int rows)
{
    const wxString base = "SELECT " + cols + " FROM " + name;
    wxString sql = base;
    if (rows != kAllRows) {
        if (d.oracle) {
            sql += wxString::Format(" WHERE ROWNUM < %d", rows > 0 ? rows + 1 : 1);
        } else if (d.db2) {
            sql += rows > 0 ? wxString::Format(" FETCH FIRST %d ROWS ONLY", rows) : wxString(" WHERE 1 = 2");
        } else if (d.jet || d.foxPro) {
            if (rows > 0) {
                sql = "SELECT TOP" + wxString::Format(" %d ", rows) + cols + " FROM " + name;
                if (d.foxPro)
                    sql += " ORDER BY 1";
            } else {
                sql += " WHERE 1 = 2";
            }
        } else if (d.dbmsNameUpper.IsSameAs("INFORMIX", false)) {
            sql = rows > 0 ? "SELECT FIRST" + wxString::Format(" %d ", rows) + cols + " FROM " + name
                           : base + " WHERE 1 = 2";
        } else if (d.mySql) {
            sql += wxString::Format(" LIMIT %d ", rows > 0 ? rows : 0);
        } else if (rows == 0 && (columnNode || !d.connectionString.Contains("Provider=MSOLAP"))) {
            sql += " WHERE 1 = 2";
        }
    }
    sql.Trim(true).Trim(false);
    if (d.tSql)
        WrapSetRowcount(sql, rows);
    return sql;
}

void WrapSetRowcount(wxString& sql, int rows)
{
    if (rows == kAllRows)
        sql = "SET ROWCOUNT 0\n" + sql;
    else if (rows >= 1)
        sql = wxString::Format("SET ROWCOUNT %d\n", rows) + sql + "\nSET ROWCOUNT 0";
}

wxString SaveAsFileName(const wxString& objectName, const wxString& quotePrefix, const wxString& quoteSuffix)
{
    wxString name = objectName;
    if (!quotePrefix.empty())
        name.Replace(quotePrefix, "");
    if (!quoteSuffix.empty())
        name.Replace(quoteSuffix, "");
    return MakeIdentifierName(name);
}

CEditorAppend ComposeEditorAppend(const wxString& sql, bool editorHasText, bool terminate, const wxString& separator,
                                  const wxString& lineEnd)
{
    CEditorAppend append;
    if (editorHasText)
        append.text = lineEnd + lineEnd;
    append.selectFrom = append.text.length();
    append.text += sql;
    if (terminate)
        append.text += ";";
    if (!separator.empty())
        append.text += lineEnd + separator;
    return append;
}
