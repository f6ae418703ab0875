#include "EditorFixture.h"

#include "common/TextPositions.h"

#include <wx/app.h>
#include <wx/dir.h>
#include <wx/ffile.h>

#include <cstdlib>

void EditorFixture::SetUp()
{
    char folder[] = "/tmp/torvane-editor-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    m_dir = folder;
    m_messages = std::make_unique<CMessageScript>();
    m_manager = new wxDocManager;
    new wxDocTemplate(m_manager, "Query", "*.sql", "", "sql", "Query Document", "Query View",
                      CLASSINFO(CTorvaneDoc), CLASSINFO(CQryView));
    m_frame = new wxDocMDIParentFrame(m_manager, nullptr, wxID_ANY, "Torvane", wxDefaultPosition, wxSize(900, 700));
    m_frame->CreateStatusBar(2);
    m_frame->Show();
    wxTheApp->SetTopWindow(m_frame);
}

void EditorFixture::TearDown()
{
    for (wxDocument* doc : m_manager->GetDocumentsVector())
        doc->Modify(false);
    m_manager->CloseDocuments(true);
    m_frame->Destroy();
    wxTheApp->SetTopWindow(nullptr);
    wxTheApp->ProcessPendingEvents();
    wxTheApp->Yield(true);
    delete m_manager;
    m_messages.reset();
    wxFileName::Rmdir(m_dir, wxPATH_RMDIR_RECURSIVE);
}

CTorvaneDoc* EditorFixture::NewDoc()
{
    return wxDynamicCast(m_manager->CreateDocument(wxString(), wxDOC_NEW), CTorvaneDoc);
}

CTorvaneDoc* EditorFixture::OpenDoc(const wxString& path)
{
    return wxDynamicCast(m_manager->CreateDocument(path, wxDOC_SILENT), CTorvaneDoc);
}

void EditorFixture::WriteFile(const wxString& path, const std::string& bytes) const
{
    wxFFile file(path, "wb");
    ASSERT_TRUE(file.IsOpened());
    ASSERT_TRUE(bytes.empty() || file.Write(bytes.data(), bytes.size()) == bytes.size());
}

std::string EditorFixture::ReadFile(const wxString& path)
{
    wxFFile file(path, "rb");
    std::string bytes;
    if (!file.IsOpened())
        return bytes;
    bytes.resize(static_cast<size_t>(file.Length()));
    if (!bytes.empty())
        file.Read(bytes.data(), bytes.size());
    return bytes;
}

void EditorFixture::SetTextAndSelect(wxStyledTextCtrl* edit, const wxString& text, long start, long end)
{
    edit->SetText(text);
    edit->SetSelection(CTextPositions::CharToByte(*edit, start), CTextPositions::CharToByte(*edit, end));
}

void EditorFixture::PressKey(wxStyledTextCtrl* edit, int keyCode, bool ctrl, bool shift)
{
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = keyCode;
    event.m_controlDown = ctrl;
    event.m_shiftDown = shift;
    event.SetEventObject(edit);
    edit->ProcessWindowEvent(event);
}
