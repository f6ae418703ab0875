// The table and column permissions pages without their windows: the TABLE_PRIVILEGES or
// COLUMN_PRIVILEGES rows of one table or column folded into one row per grantee, with "YES" or
// "NO" for SELECT, INSERT, UPDATE, DELETE and REFERENCES, for every grantee or for the
// connection's own user. A failed load leaves one message row. Window thread only; reads
// synchronously on the window's connection.
#pragma once

#include "PropertyPageLoad.h"
#include "SchemaHost.h"
#include "SchemaNodeData.h"

#include <array>
#include <vector>

struct CPrivilegeRow {
    wxString grantee; // a message row: the message and a blank
    int image = imgUser;
    std::array<wxString, 5> cells; // SELECT, INSERT, UPDATE, DELETE, REFERENCES; empty on a message row

    bool operator==(const CPrivilegeRow&) const = default;
};

class CPrivilegesModel {
public:
    // column null: the table page; else the column page for that column of table.
    CPrivilegesModel(ISchemaHost& host, const CSchemaNodeData& table, const CSchemaColumnData* column,
                     const wxString& userName)
        : m_host(host), m_table(table), m_column(column), m_strUserName(userName)
    {
    }

    // Reads the rows anew; with allUsers false, only the user's own row remains.
    CPageLoadResult Load(bool allUsers);

    // In ascending order of the grantee, ignoring case.
    const std::vector<CPrivilegeRow>& Rows() const { return m_rows; }
    CPageLoadResult Result() const { return m_result; }

private:
    void LoadPrivileges(bool allUsers);
    CPrivilegeRow& FindOrAddRow(const wxString& grantee);
    void AddMessageRow(const char* message, int image);

    ISchemaHost& m_host;
    const CSchemaNodeData& m_table;
    const CSchemaColumnData* m_column;
    wxString m_strUserName;
    std::vector<CPrivilegeRow> m_rows;
    CPageLoadResult m_result = CPageLoadResult::Loaded;
};
