// The document of one query window: the SQL text that the window's editor shows, the query file it
// came from (with the encoding and line ends it was read with), and the window title made of the
// connection, the file name and the first characters of the query.
#pragma once

#include "querycore/QueryFileCodec.h"
#include "editor/QueryTitle.h"

#include <wx/docview.h>

#include <cstdint>
#include <ctime>
#include <optional>

class IEditorHost;
class CQryView;
class wxStyledTextCtrl;

// What the document remembers of its file: it counts as unchanged only while both stay the same.
struct CQueryFileStatus {
    bool valid = false;
    int64_t modifiedNs = 0; // last-write time in nanoseconds since the epoch
    int64_t size = 0;
    bool operator==(const CQueryFileStatus&) const = default;
    static std::optional<CQueryFileStatus> Read(const wxString& path);
};

class CTorvaneDoc : public wxDocument {
public:
    // The largest query file the editor takes: 16 MB less one byte.
    static constexpr int64_t kMaxFileSize = 16777215;

    CTorvaneDoc();

    // Builds and sets the window title from a title text, or refreshes it (null).
    void SetTitle(const wxString* title);
    void SetTitle(const wxString& title) { SetTitle(&title); }
    bool IsTitleMarked() const { return m_bTitleMarked; }
    // Puts back a full title as it stood before (nothing is composed).
    void ApplyTitle(const wxString& title);
    // Sets the document's title string to the plain name of the given full title, without
    // refreshing the captions; returns it.
    wxString GetPlainTitle(const wxString& title);
    // The editor's change notification: marks the title with "*" after the first edit.
    void OnEditorChange();

    // A new query starts without a title; the main window names it "Untitled_N - (New Query)".
    bool OnNewDocument() override;

    // Opening and saving.
    bool OnOpenDocument(const wxString& path) override;
    bool OpenQueryFile(const wxString& path, bool forceReload);
    bool OnSaveDocument(const wxString& path) override;
    bool SaveQueryFile();
    bool SaveQueryFileAs();
    // The file name the Save As dialog proposes: the plain title, with ".sql" when it has no extension.
    wxString GetSaveAsDefaultName();
    // The file Save As writes for the path chosen in its dialog with the given filter: the query
    // file extension added to a name without one, after asking whether to replace such a file
    // (the dialog asked only about the name as given). Empty when the answer is No.
    wxString ConfirmSaveAsPath(const wxString& chosen, int filterIndex);
    bool Save() override;
    bool SaveAs() override;
    bool OnSaveModified() override;
    bool IsModified() const override;
    void Modify(bool modified) override;
    bool IsLoading() const { return m_bLoading; }

    // Saves every query document in order, modified or not; stops at the first save that fails
    // or is cancelled. False when one did.
    static bool SaveAll(wxDocManager* manager);

    QueryFileEncoding GetEncoding() const { return m_encoding; }
    QueryFileLineEnd GetLineEnd() const { return m_lineEnd; }
    const CQueryFileStatus& GetFileStatus() const { return m_fileStatus; }

    void SetFrame(IEditorHost* frame) { m_pFrame = frame; }
    IEditorHost* GetFrame() const { return m_pFrame; }
    CQryView* GetQryView() const;

protected:
    bool DoSaveDocument(const wxString& path) override;

private:
    wxStyledTextCtrl* Editor() const;
    // The connection texts of the owning query window, when there is one.
    const CQueryTitleConnection* TitleConnection(CQueryTitleConnection& out) const;
    wxString LastExecutedSql() const;
    void SetMainStatusText(const wxString& text);
    void ExpandTabsInEditor();
    bool SaveWithDialog();

    void OnSaveCommand(wxCommandEvent& event);
    void OnSaveAsCommand(wxCommandEvent& event);
    void OnSaveAllCommand(wxCommandEvent& event);
    void OnUpdateSave(wxUpdateUIEvent& event);
    void OnUpdateSaveAs(wxUpdateUIEvent& event);

    bool m_bTitleMarked = false;
    IEditorHost* m_pFrame = nullptr;
    CQueryFileStatus m_fileStatus;
    QueryFileEncoding m_encoding = QueryFileEncoding::Utf8;
    QueryFileLineEnd m_lineEnd = QueryFileLineEnd::LF;
    bool m_bLoading = false;

    wxDECLARE_DYNAMIC_CLASS(CTorvaneDoc);
    wxDECLARE_EVENT_TABLE();
};
