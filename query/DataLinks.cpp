#include "DataLinks.h"

#include <wx/textdlg.h>

namespace {

std::optional<wxString> Prompt(wxWindow* parent, const wxString& initial)
{
    wxTextEntryDialog dlg(parent, _("Connection string:"), _("Data Link Properties"), initial,
                          wxOK | wxCANCEL | wxCENTRE);
    dlg.SetName("DataLinkDialog");
    if (dlg.ShowModal() != wxID_OK)
        return std::nullopt;
    wxString text = dlg.GetValue();
    text.Trim(true).Trim(false);
    return text;
}

} // namespace

std::optional<wxString> CDataLinks::PromptNew(wxWindow* parent)
{
    return Prompt(parent, "Provider=MSDASQL;Driver={SQLite3};Database=");
}

std::optional<wxString> CDataLinks::PromptEdit(wxWindow* parent, const wxString& connectString)
{
    return Prompt(parent, connectString);
}
