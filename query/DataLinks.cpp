#include "DataLinks.h"

#include <wx/textdlg.h>
#include <wx/utils.h>

namespace {

std::optional<wxString> Prompt(wxWindow* parent, const wxString& initial)
{
    // The dialog is asked under the caller's wait cursor; the user gets the normal one.
    wxBusyCursorSuspender normalCursor;
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
