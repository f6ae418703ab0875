// Files dropped on a pane of a query window open in new windows on the same connection. On a
// text control the target also keeps the control's own dropping of text.
#pragma once

#include <wx/dnd.h>

#include <functional>
#include <vector>

class wxStyledTextCtrl;

class CPaneDropTarget : public wxDropTarget {
public:
    typedef std::function<void(const std::vector<wxString>& files)> FilesHandler;

    // editor: the text control whose text drops go on as before, or null for a pane without text.
    CPaneDropTarget(FilesHandler onFiles, wxStyledTextCtrl* editor = nullptr);

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    void OnLeave() override;
    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult def) override;

private:
    bool OffersFiles();

    FilesHandler m_onFiles;
    wxStyledTextCtrl* m_editor;
    wxDataObjectComposite* m_data;
    wxFileDataObject* m_files;
    wxTextDataObject* m_text;
};
