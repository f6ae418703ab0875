#include "ObjectSourceQuery.h"

#include "common/IdentifierText.h"
#include "SchemaNodeData.h"

namespace {

// The text inside a SQL string literal.
wxString Literal(wxString text)
{
    text.Replace("'", "''");
    return text;
}

} // namespace

wxString ComposeObjectSourceQuery(const CSelectDialect& d, const wxString& quotePrefix, const wxString& quoteSuffix,
                                  CSchemaNodeData& object, bool isProcedure)
{
    const wxString& name = object.m_strName;
    const wxString& dbms = d.dbmsNameUpper;
    if (dbms.IsSameAs("SYBASE SQL ANYWHERE", false) || dbms.IsSameAs("ADAPTIVE SERVER ANYWHERE", false))
        return "SELECT text FROM syscomments WHERE id = OBJECT_ID('" + Literal(name) +
               "') ORDER BY number, colid2, colid";
    if (d.tSql) {
        // The procedure's number (";1") is no part of the name the server knows.
        return "sp_helptext " + QuoteIdentifier(name.BeforeFirst(';'), quotePrefix, quoteSuffix);
    }
    if (d.oracle) {
        if (!isProcedure)
            return "SELECT text FROM user_views WHERE view_name = '" + Literal(name) + "'";
        object.m_strType.MakeUpper();
        return "SELECT TEXT FROM ALL_SOURCE WHERE type = '" + Literal(object.m_strType) + "' AND NAME = '" +
               Literal(name.BeforeFirst('.')) + "'";
    }
    if (d.db2) {
        if (isProcedure)
            return "SELECT TEXT FROM SYSIBM.SYSPROCEDURES WHERE PROCNAME = '" + Literal(name) +
                   "' AND PROCSCHEMA = '" + Literal(object.m_strSchema) + "'";
        return "SELECT TEXT FROM SYSIBM.SYSVIEWS WHERE NAME = '" + Literal(name) + "' AND CREATOR = '" +
               Literal(object.m_strSchema) + "'";
    }
    if (dbms.IsSameAs("PERVASIVE.SQL", false)) {
        if (isProcedure)
            return "SELECT Xp$Misc FROM X$Proc WHERE Xp$Name = '" + Literal(name) + "'";
        return "SELECT Xv$Misc FROM X$View WHERE Xv$Name = '" + Literal(name) + "'";
    }
    if (d.jet)
        return name + " // Using DAO";
    return name + (isProcedure ? " // Procedure text not supported" : " // View text not supported");
}
