#include "TorvaneDoc.h"

#include "QryView.h"

#include <wx/ffile.h>
#include <wx/stc/stc.h>

wxIMPLEMENT_DYNAMIC_CLASS(CTorvaneDoc, wxDocument);

bool CTorvaneDoc::OnNewDocument()
{
    Modify(false);
    SetDocumentSaved(false);
    return true;
}

CQryView* CTorvaneDoc::GetQueryView() const
{
    for (wxView* view : GetViewsVector())
        if (auto* query = wxDynamicCast(view, CQryView))
            return query;
    return nullptr;
}

bool CTorvaneDoc::DoOpenDocument(const wxString& path)
{
    CQryView* view = GetQueryView();
    if (!view || !view->GetEditor())
        return false;
    wxFFile file(path, "rb");
    wxString text;
    if (!file.IsOpened() || !file.ReadAll(&text, wxConvUTF8))
        return false;
    view->GetEditor()->SetText(text);
    view->GetEditor()->EmptyUndoBuffer();
    view->GetEditor()->SetSavePoint();
    return true;
}

bool CTorvaneDoc::DoSaveDocument(const wxString& path)
{
    CQryView* view = GetQueryView();
    if (!view || !view->GetEditor())
        return false;
    wxFFile file(path, "wb");
    if (!file.IsOpened() || !file.Write(view->GetEditor()->GetText(), wxConvUTF8) || !file.Close())
        return false;
    view->GetEditor()->SetSavePoint();
    return true;
}
