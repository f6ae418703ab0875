#include "SchemaPropertyPage.h"

#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CSchemaPropertyPage::CSchemaPropertyPage(wxWindow* parent) : wxPanel(parent, wxID_ANY)
{
    const char* labels[] = {"User ID:", "Data source:", "Server:", "DBMS name:", "Provider:", "Driver:"};
    auto* grid = new wxFlexGridSizer(2, 6, 8);
    grid->AddGrowableCol(1);
    for (int i = 0; i < 6; ++i) {
        m_labels[i] = new wxStaticText(this, 1024 + i, labels[i]);
        m_values[i] = new wxTextCtrl(this, 1018 + i, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
        grid->Add(m_labels[i], 0, wxALIGN_CENTER_VERTICAL);
        grid->Add(m_values[i], 1, wxEXPAND);
    }
    auto* page = new wxBoxSizer(wxVERTICAL);
    page->Add(grid, 0, wxEXPAND | wxALL, 10);
    SetSizer(page);
}

void CSchemaPropertyPage::FillGeneral(const std::optional<CGeneralPairs>& pairs)
{
    if (!pairs)
        return;
    for (int i = 0; i < 6; ++i) {
        const auto& pair = (*pairs)[i];
        m_labels[i]->Show(pair.has_value());
        m_values[i]->Show(pair.has_value());
        if (pair) {
            m_labels[i]->SetLabel(pair->first);
            m_values[i]->ChangeValue(pair->second);
        }
    }
    Layout();
}
