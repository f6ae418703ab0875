#include "PaneDropTarget.h"

#include <wx/stc/stc.h>

CPaneDropTarget::CPaneDropTarget(FilesHandler onFiles, wxStyledTextCtrl* editor)
    : m_onFiles(std::move(onFiles)), m_editor(editor)
{
    m_data = new wxDataObjectComposite;
    m_files = new wxFileDataObject;
    m_data->Add(m_files, true);
    m_text = nullptr;
    if (m_editor) {
        m_text = new wxTextDataObject;
        m_data->Add(m_text);
    }
    SetDataObject(m_data);
}

bool CPaneDropTarget::OffersFiles()
{
    return GetMatchingPair() == wxDF_FILENAME;
}

wxDragResult CPaneDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def)
{
    if (m_editor && !OffersFiles())
        return m_editor->DoDragEnter(x, y, def);
    return OnDragOver(x, y, def);
}

wxDragResult CPaneDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult def)
{
    if (OffersFiles())
        return wxDragCopy;
    return m_editor ? m_editor->DoDragOver(x, y, def) : wxDragNone;
}

void CPaneDropTarget::OnLeave()
{
    if (m_editor)
        m_editor->DoDragLeave();
}

wxDragResult CPaneDropTarget::OnData(wxCoord x, wxCoord y, wxDragResult def)
{
    if (!GetData())
        return wxDragNone;
    if (m_data->GetReceivedFormat() == wxDF_FILENAME) {
        const wxArrayString& names = m_files->GetFilenames();
        std::vector<wxString> files(names.begin(), names.end());
        if (!files.empty() && m_onFiles)
            m_onFiles(files);
        return wxDragCopy;
    }
    if (m_editor && m_text)
        return m_editor->DoDropText(x, y, m_text->GetText()) ? def : wxDragNone;
    return wxDragNone;
}
