#include "PrivilegesModel.h"

#include "SchemaRow.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The privilege types by column, in the order of the list's columns.
constexpr const char* kPrivilegeTypes[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "REFERENCES"};

bool LessNoCase(const wxString& a, const wxString& b)
{
    return a.CmpNoCase(b) < 0;
}

} // namespace

CPageLoadResult CPrivilegesModel::Load(bool allUsers)
{
    m_rows.clear();
    m_result = GuardedLoad([&] { LoadPrivileges(allUsers); });
    if (m_result == CPageLoadResult::NotCapable)
        AddMessageRow(property_texts::kNotCapable, imgCross);
    else if (m_result == CPageLoadResult::ErrorsOccurred)
        AddMessageRow(property_texts::kErrorsOccurred, m_column ? imgErrorDisc : imgCross);
    return m_result;
}

void CPrivilegesModel::LoadPrivileges(bool allUsers)
{
    // An empty user name is still a restriction: it matches nobody.
    const _variant_t grantee = allUsers ? _variant_t() : _variant_t(m_strUserName.utf8_string());
    std::vector<_variant_t> restrictions = {RestrictionText(m_table.m_strCatalog),
                                            RestrictionText(m_table.m_strSchema),
                                            RestrictionText(m_table.m_strName)};
    if (m_column)
        restrictions.push_back(RestrictionText(m_column->m_strName));
    restrictions.push_back(_variant_t()); // GRANTOR
    restrictions.push_back(grantee);
    CSchemaRow row(m_host.OpenSchema(m_column ? ado::adSchemaColumnPrivileges : ado::adSchemaTablePrivileges,
                                     restrictions));
    if (row.IsEmpty())
        return;
    while (!row.AtEnd()) {
        const wxString name = GuardedText(row, "GRANTEE");
        if (name.empty()) {
            m_rows.clear();
            throw std::runtime_error("a privilege without its grantee");
        }
        CPrivilegeRow& target = FindOrAddRow(name);
        const wxString privilege = row.Text("PRIVILEGE_TYPE");
        for (size_t i = 0; i < std::size(kPrivilegeTypes); ++i) {
            if (privilege.IsSameAs(kPrivilegeTypes[i], false)) {
                target.cells[i] = "YES";
                break;
            }
        }
        row.MoveNext();
    }
    for (CPrivilegeRow& r : m_rows)
        for (wxString& cell : r.cells)
            if (cell.empty())
                cell = "NO";
    if (!allUsers)
        std::erase_if(m_rows, [this](const CPrivilegeRow& r) { return !r.grantee.IsSameAs(m_strUserName, false); });
}

CPrivilegeRow& CPrivilegesModel::FindOrAddRow(const wxString& grantee)
{
    auto it = std::find_if(m_rows.begin(), m_rows.end(),
                           [&](const CPrivilegeRow& r) { return r.grantee.IsSameAs(grantee, false); });
    if (it != m_rows.end())
        return *it;
    CPrivilegeRow row;
    row.grantee = grantee;
    row.image = grantee.IsSameAs("PUBLIC", false) ? imgGroup : imgUser;
    it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                          [](const CPrivilegeRow& a, const CPrivilegeRow& b) { return LessNoCase(a.grantee, b.grantee); });
    return *m_rows.insert(it, std::move(row));
}

void CPrivilegesModel::AddMessageRow(const char* message, int image)
{
    CPrivilegeRow row;
    row.grantee = wxString(message) + " ";
    row.image = image;
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [](const CPrivilegeRow& a, const CPrivilegeRow& b) { return LessNoCase(a.grantee, b.grantee); });
    m_rows.insert(it, std::move(row));
}
