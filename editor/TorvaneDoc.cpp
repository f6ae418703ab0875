#include "editor/TorvaneDoc.h"

#include "common/CommandIds.h"
#include "common/FileException.h"
#include "common/SettingsTable.h"
#include "common/TextPositions.h"
#include "editor/EditorHost.h"
#include "editor/QryView.h"
#include "editor/SqlEditTransforms.h"
#include "querycore/BatchSplitter.h"
#include "platform/MessageBox.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/utils.h>
#include <wx/wfstream.h>
#include <wx/file.h>

#include <sys/stat.h>

#include <cerrno>
#include <string>

wxIMPLEMENT_DYNAMIC_CLASS(CTorvaneDoc, wxDocument);

wxBEGIN_EVENT_TABLE(CTorvaneDoc, wxDocument)
    EVT_MENU(ID_FILE_SAVE, CTorvaneDoc::OnSaveCommand)
    EVT_MENU(ID_FILE_SAVE_AS, CTorvaneDoc::OnSaveAsCommand)
    EVT_MENU(ID_FILE_SAVE_ALL, CTorvaneDoc::OnSaveAllCommand)
    EVT_UPDATE_UI(ID_FILE_SAVE, CTorvaneDoc::OnUpdateSave)
    EVT_UPDATE_UI(ID_FILE_SAVE_AS, CTorvaneDoc::OnUpdateSaveAs)
    EVT_UPDATE_UI(ID_FILE_SAVE_ALL, CTorvaneDoc::OnUpdateSave)
wxEND_EVENT_TABLE()

namespace {

const wxString kFilter = "Query Files (*.sql)|*.sql|All Files (*.*)|*";
const char* const kReplaceQuestion = "A file named \"%s\" already exists.\nDo you want to replace it?";

// Everything after the last path separator.
wxString FileNamePart(const wxString& path)
{
    size_t slash = path.find_last_of('/');
    return slash == wxString::npos ? path : path.Mid(slash + 1);
}

wxString FileErrorText(const wxString& path, int error)
{
    return wxString::Format("'%s'\n", path) + GetFileExceptionText(CFileException::ErrnoToCause(error));
}

} // namespace

std::optional<CQueryFileStatus> CQueryFileStatus::Read(const wxString& path)
{
    struct stat st {};
    if (stat(path.fn_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    CQueryFileStatus status;
    status.valid = true;
    status.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    status.size = static_cast<int64_t>(st.st_size);
    return status;
}

CTorvaneDoc::CTorvaneDoc() = default;

CQryView* CTorvaneDoc::GetQryView() const
{
    for (wxView* view : const_cast<CTorvaneDoc*>(this)->GetViewsVector())
        if (auto* qry = dynamic_cast<CQryView*>(view))
            return qry;
    return nullptr;
}

wxStyledTextCtrl* CTorvaneDoc::Editor() const
{
    CQryView* view = GetQryView();
    return view ? view->GetEditCtrl() : nullptr;
}

const CQueryTitleConnection* CTorvaneDoc::TitleConnection(CQueryTitleConnection& out) const
{
    return m_pFrame && m_pFrame->GetTitleConnection(out) ? &out : nullptr;
}

wxString CTorvaneDoc::LastExecutedSql() const
{
    return m_pFrame ? m_pFrame->GetLastExecutedSql() : wxString();
}

// ---------------------------------------------------------------------------------------------
// Title

void CTorvaneDoc::SetTitle(const wxString* title)
{
    CQueryTitleConnection connection;
    const CQueryTitleConnection* conn = TitleConnection(connection);
    wxString editorText;
    if (conn && title) {
        CQryView* view = GetQryView();
        if (view) {
            editorText = view->GetSelectedText();
            if (editorText.empty())
                editorText = view->GetText();
        }
    }
    std::optional<wxString> argument;
    if (title)
        argument = *title;
    ApplyTitle(CQueryTitle::Compose(argument, GetTitle(), conn, editorText, LastExecutedSql()));
}

void CTorvaneDoc::ApplyTitle(const wxString& title)
{
    wxDocument::SetTitle(title);
    for (wxView* view : GetViewsVector())
        view->OnChangeFilename();
}

wxString CTorvaneDoc::GetPlainTitle(const wxString& title)
{
    wxString plain = CQueryTitle::Plain(title, m_bTitleMarked);
    wxDocument::SetTitle(plain);
    return plain;
}

void CTorvaneDoc::OnEditorChange()
{
    if (m_bLoading || m_bTitleMarked)
        return;
    std::optional<wxString> marked = CQueryTitle::MarkedArgument(GetTitle());
    if (!marked)
        return;
    SetTitle(&*marked);
    m_bTitleMarked = true;
}

// ---------------------------------------------------------------------------------------------
// Opening

bool CTorvaneDoc::OnNewDocument()
{
    Modify(false);
    SetDocumentSaved(false);
    return true;
}

bool CTorvaneDoc::OnOpenDocument(const wxString& path)
{
    return OpenQueryFile(path, false);
}

bool CTorvaneDoc::OpenQueryFile(const wxString& path, bool forceReload)
{
    wxBusyCursor wait;
    std::optional<CQueryFileStatus> status = CQueryFileStatus::Read(path);

    // File names are case-sensitive here; and a file counts as unchanged only when neither its
    // time nor its size moved, so an edit that keeps the size is still read.
    if (status && path == GetFilename() && *status == m_fileStatus && !forceReload) {
        if (CQryView* view = GetQryView()) {
            view->Activate(true);
            if (view->GetEditCtrl())
                view->GetEditCtrl()->SetFocus();
        }
        return true;
    }

    SetMainStatusText("Opening " + path + "...");
    bool ok = false;
    if (!status) {
        TVMessageBox(wxString::Format("'%s'.\nCannot open file. File not found.", path), wxOK | wxICON_STOP);
    } else if (status->size > kMaxFileSize) {
        TVMessageBox(wxString::Format("'%s'\nFile size is too large to open. The maximum size limit is %d MB (%d bytes).",
                                      path, static_cast<int>((kMaxFileSize >> 20) + 1), static_cast<int>(kMaxFileSize)),
                     wxOK | wxICON_INFORMATION);
    } else {
        std::string bytes;
        wxFile file;
        bool read = false;
        {
            wxLogNull quiet; // failures are reported below, once, in the program's own words
            if (file.Open(path, wxFile::read)) {
                bytes.resize(static_cast<size_t>(status->size));
                ssize_t got = bytes.empty() ? 0 : file.Read(bytes.data(), bytes.size());
                read = got == static_cast<ssize_t>(bytes.size());
            }
        }
        int error = errno;
        wxStyledTextCtrl* edit = Editor();
        const QueryFileText text = CQueryFileCodec::Decode(bytes);
        const size_t nulLine = read ? BatchSplitter::LineOfNulCharacter(text.utf8) : 0;
        if (!read) {
            TVMessageBox(FileErrorText(path, error), wxOK | wxICON_STOP);
        } else if (nulLine != 0) {
            // Shown, it would look like SQL that runs whole; sent, the driver would stop at it.
            TVMessageBox(wxString::FromUTF8(BatchSplitter::NulCharacterRefusal(path.utf8_string(), nulLine)) +
                             "\nThe file was not opened.",
                         wxOK | wxICON_STOP);
        } else if (edit) {
            m_bLoading = true;
            edit->SetEOLMode(text.lineEnd == QueryFileLineEnd::CRLF ? wxSTC_EOL_CRLF
                             : text.lineEnd == QueryFileLineEnd::CR ? wxSTC_EOL_CR
                                                                     : wxSTC_EOL_LF);
            edit->ClearAll();
            edit->AddTextRaw(text.utf8.data(), static_cast<int>(text.utf8.size()));
            edit->EmptyUndoBuffer();
            edit->SetSavePoint();
            edit->GotoPos(0);
            m_bLoading = false;
            m_encoding = text.encoding;
            m_lineEnd = text.lineEnd;
            // The status after reading: an edit made meanwhile shows on the next open.
            m_fileStatus = CQueryFileStatus::Read(path).value_or(*status);
            SetFilename(path, true);
            SetDocumentSaved(true);
            wxDocument::Modify(false);
            SetTitle(FileNamePart(path));
            m_bTitleMarked = false;
            ok = true;
        }
    }
    SetMainStatusText(wxString());
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Saving

void CTorvaneDoc::ExpandTabsInEditor()
{
    wxStyledTextCtrl* edit = Editor();
    CQryView* view = GetQryView();
    if (!edit || !view)
        return;
    long selStart = CTextPositions::ByteToChar(*edit, edit->GetSelectionStart());
    long selEnd = CTextPositions::ByteToChar(*edit, edit->GetSelectionEnd());
    auto expanded = CSqlEditTransforms::ExpandTabsForSave(edit->GetText(), view->GetTabSize(), selStart, selEnd);
    edit->Freeze();
    edit->SetText(expanded.text);
    edit->SetSelection(CTextPositions::CharToByte(*edit, expanded.selStart),
                       CTextPositions::CharToByte(*edit, expanded.selEnd));
    edit->Thaw();
    edit->Refresh();
}

bool CTorvaneDoc::OnSaveDocument(const wxString& path)
{
    wxBusyCursor wait;
    wxStyledTextCtrl* edit = Editor();
    if (edit && edit->GetModify() && settings::ReadInt(settings::QuerySaveTabsAsSpaces))
        ExpandTabsInEditor();
    if (!wxDocument::OnSaveDocument(path))
        return false;
    if (auto status = CQueryFileStatus::Read(path))
        m_fileStatus = *status;
    SetTitle(FileNamePart(path));
    m_bTitleMarked = false;
    return true;
}

bool CTorvaneDoc::DoSaveDocument(const wxString& path)
{
    wxStyledTextCtrl* edit = Editor();
    if (!edit)
        return false;
    std::string_view text(edit->GetCharacterPointer(), static_cast<size_t>(edit->GetTextLength()));
    std::string bytes;
    if (!CQueryFileCodec::Encode(text, m_encoding, bytes)) {
        // Saving in the file's own code page would lose characters typed since; UTF-8 keeps them.
        CQueryFileCodec::Encode(text, QueryFileEncoding::Utf8, bytes);
        m_encoding = QueryFileEncoding::Utf8;
        TVMessageBox(wxString::Format("'%s'\nThe text holds characters that Windows-1252 cannot represent, "
                                      "so the file is saved as UTF-8.", path),
                     wxOK | wxICON_INFORMATION);
    }
    // Written beside the file and renamed over it, so a failed write leaves the old file whole.
    wxLogNull quiet;
    wxTempFile file;
    errno = 0;
    if (!file.Open(path) || !file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
        int error = errno ? errno : EIO;
        TVMessageBox(FileErrorText(path, error), wxOK | wxICON_STOP);
        return false;
    }
    return true;
}

wxString CTorvaneDoc::GetSaveAsDefaultName()
{
    wxString name = GetPlainTitle(GetTitle());
    name.Trim(true).Trim(false);
    if (wxFileName(name).GetExt().empty())
        name += ".sql";
    return name;
}

wxString CTorvaneDoc::ConfirmSaveAsPath(const wxString& chosen, int filterIndex)
{
    if (filterIndex != 0 || !wxFileName(chosen).GetExt().empty())
        return chosen;
    const wxString path = chosen + ".sql";
    if (wxFileName::FileExists(path) &&
        TVMessageBox(wxString::Format(kReplaceQuestion, FileNamePart(path)), wxYES_NO | wxICON_QUESTION,
                     GetDocumentWindow()) != wxID_YES)
        return wxString();
    return path;
}

bool CTorvaneDoc::SaveWithDialog()
{
    const wxString fullTitle = GetTitle();
    wxString defaultName = GetSaveAsDefaultName();
    wxString dir = wxFileName(GetFilename()).GetPath();
    wxFileDialog dialog(GetDocumentWindow(), "Save As", dir, defaultName, kFilter, wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    wxString path;
    if (dialog.ShowModal() == wxID_OK) {
        path = ConfirmSaveAsPath(dialog.GetPath(), dialog.GetFilterIndex());
    }
    if (path.empty() || !OnSaveDocument(path)) {
        ApplyTitle(fullTitle);
        return false;
    }
    // A file saved under a new name is one opened lately, as much as one read.
    if (wxDocManager* manager = GetDocumentManager())
        manager->AddFileToHistory(path);
    return true;
}

bool CTorvaneDoc::SaveQueryFile()
{
    if (!GetDocumentSaved() || GetFilename().empty())
        return SaveWithDialog();
    const wxString fullTitle = GetTitle();
    GetPlainTitle(fullTitle);
    if (!OnSaveDocument(GetFilename())) {
        ApplyTitle(fullTitle);
        return false;
    }
    return true;
}

bool CTorvaneDoc::SaveQueryFileAs()
{
    return SaveWithDialog();
}

bool CTorvaneDoc::Save()
{
    return SaveQueryFile();
}

bool CTorvaneDoc::SaveAs()
{
    return SaveQueryFileAs();
}

bool CTorvaneDoc::OnSaveModified()
{
    const wxString fullTitle = GetTitle();
    if (!IsModified())
        return true;
    wxString plain = GetPlainTitle(fullTitle);
    int answer = TVMessageBox(wxString::Format("Save changes to %s?", plain),
                              wxYES_NO | wxCANCEL | wxICON_EXCLAMATION, GetDocumentWindow());
    bool ok = answer == wxID_NO || (answer == wxID_YES && Save());
    if (!ok)
        ApplyTitle(fullTitle);
    return ok;
}

bool CTorvaneDoc::IsModified() const
{
    wxStyledTextCtrl* edit = Editor();
    return wxDocument::IsModified() || (edit && edit->GetModify());
}

void CTorvaneDoc::Modify(bool modified)
{
    wxDocument::Modify(modified);
    if (!modified)
        if (wxStyledTextCtrl* edit = Editor())
            edit->SetSavePoint();
}

bool CTorvaneDoc::SaveAll(wxDocManager* manager)
{
    if (!manager)
        return true;
    for (wxDocument* doc : manager->GetDocumentsVector()) {
        auto* query = dynamic_cast<CTorvaneDoc*>(doc);
        if (!query)
            continue;
        if (!wxFileName::FileExists(query->GetFilename()) && query->GetFrame())
            query->GetFrame()->ActivateWindow();
        if (!query->SaveQueryFile())
            return false;
    }
    return true;
}

void CTorvaneDoc::SetMainStatusText(const wxString& text)
{
    auto* frame = dynamic_cast<wxFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    if (frame && frame->GetStatusBar())
        frame->SetStatusText(text, 0);
}

// ---------------------------------------------------------------------------------------------
// Commands

void CTorvaneDoc::OnSaveCommand(wxCommandEvent&)
{
    SaveQueryFile();
}

void CTorvaneDoc::OnSaveAsCommand(wxCommandEvent&)
{
    SaveQueryFileAs();
}

void CTorvaneDoc::OnSaveAllCommand(wxCommandEvent&)
{
    SaveAll(GetDocumentManager());
}

void CTorvaneDoc::OnUpdateSave(wxUpdateUIEvent& event)
{
    event.Enable(true);
}

void CTorvaneDoc::OnUpdateSaveAs(wxUpdateUIEvent& event)
{
    // With the results pane active its own Save As decides; the schema pane saves nothing.
    event.Enable(!m_pFrame || m_pFrame->IsEditorPaneActive());
}
