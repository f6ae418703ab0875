// The table and column permissions pages of the properties sheet: one row per grantee with
// "YES" or "NO" for SELECT, INSERT, UPDATE, DELETE and REFERENCES ("RI"), for all users or for
// the connection's user, the choice remembered per page. A failed load leaves one message row
// without column headers and disables the choice. Window thread only.
#pragma once

#include "SchemaListPage.h"
#include "common/SettingsTable.h"
#include "schemacore/PrivilegesModel.h"

#include <memory>

class wxRadioButton;

class CPermissionsPage : public CSchemaListPage {
public:
    // column page: the privileges of one column of the table.
    CPermissionsPage(wxWindow* parent, wxImageList* images, bool columnPage);

    // column is null on the table page; userName is the connection's "User ID".
    void SetObject(ISchemaHost* host, const CSchemaNodeData* table, const CSchemaColumnData* column,
                   const wxString& userName);
    void ResetContents() override;

    wxRadioButton* GetAllUsers() const { return m_pAllUsers; }
    wxRadioButton* GetThisUser() const { return m_pThisUser; }

private:
    void Load() override;
    // Reads the rows for the checked choice, after remembering it.
    void Reload();
    void OnChoice(wxCommandEvent& event);
    void ShowMessageLayout(bool message);

    const bool m_bColumnPage;
    const settings::IntKey& m_allUsersKey;
    ISchemaHost* m_pHost = nullptr;
    const CSchemaNodeData* m_pTable = nullptr;
    const CSchemaColumnData* m_pColumn = nullptr;
    wxString m_strUserName;
    wxRadioButton* m_pAllUsers = nullptr;
    wxRadioButton* m_pThisUser = nullptr;
};

class CTablePermPage : public CPermissionsPage {
public:
    CTablePermPage(wxWindow* parent, wxImageList* images) : CPermissionsPage(parent, images, false) {}
};

class CColumnPermPage : public CPermissionsPage {
public:
    CColumnPermPage(wxWindow* parent, wxImageList* images) : CPermissionsPage(parent, images, true) {}
};
