#include "ReportPathDialog.h"

#include "platform/MessageBox.h"

#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/stdpaths.h>
#include <wx/arrstr.h>

wxString DesktopFileFilter(const wxString& filter)
{
    wxString text = filter;
    if (text.EndsWith("|"))
        text.RemoveLast();
    wxArrayString parts = wxSplit(text, '|', '\0');
    // Descriptions and patterns alternate: only the patterns change.
    for (size_t i = 1; i < parts.size(); i += 2)
        if (parts[i] == "*.*")
            parts[i] = "*";
    return wxJoin(parts, '|', '\0');
}

wxString ChooseTextReportPath(wxWindow* parent, const wxString& title, const wxString& defaultName,
                              const wxString& filter)
{
    wxFileDialog dialog(parent, title, wxStandardPaths::Get().GetDocumentsDir(),
                        defaultName.empty() ? wxString() : defaultName + ".txt", DesktopFileFilter(filter),
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK)
        return {};
    wxString path = dialog.GetPath();
    if (!path.empty() && dialog.GetFilterIndex() == 0 && !path.Lower().EndsWith(".txt")) {
        path += ".txt";
        if (wxFileExists(path) &&
            TVMessageBox(path + " already exists.\nDo you want to replace it?", wxYES_NO | wxICON_WARNING, parent,
                         title) != wxID_YES)
            return {};
    }
    return path;
}
