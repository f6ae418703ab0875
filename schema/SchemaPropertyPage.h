// The General page of the properties sheet: up to six label and value pairs describing the
// connection, a folder, an object, or a column or parameter (BuildGeneralPairs). Pairs a node
// does not use are hidden. Window thread only.
#pragma once

#include "schemacore/SchemaGeneralInfo.h"

#include <wx/panel.h>

class wxStaticText;
class wxTextCtrl;

class CSchemaPropertyPage : public wxPanel {
public:
    explicit CSchemaPropertyPage(wxWindow* parent);

    // Shows the pairs; none leaves the page as it is.
    void FillGeneral(const std::optional<CGeneralPairs>& pairs);

    wxStaticText* GetLabel(int pair) const { return m_labels[pair]; }
    wxTextCtrl* GetValue(int pair) const { return m_values[pair]; }

private:
    wxStaticText* m_labels[6] = {};
    wxTextCtrl* m_values[6] = {};
};
