// A main window with the document manager and the query document template, as the program has
// them, for tests that open, edit, find, print and save query files in real editor windows.
#pragma once

#include "editor/QryView.h"
#include "editor/TorvaneDoc.h"
#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <wx/docmdi.h>
#include <wx/docview.h>
#include <wx/filename.h>

#include <memory>
#include <string>

class EditorFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new untitled query document and its editor.
    CTorvaneDoc* NewDoc();
    // Opens a file; null when the open failed.
    CTorvaneDoc* OpenDoc(const wxString& path);
    static CQryView* ViewOf(CTorvaneDoc* doc) { return doc->GetQryView(); }
    static wxStyledTextCtrl* EditOf(CTorvaneDoc* doc) { return doc->GetQryView()->GetEditCtrl(); }

    // A file in the test's own folder.
    wxString TempPath(const wxString& name) const { return m_dir + "/" + name; }
    void WriteFile(const wxString& path, const std::string& bytes) const;
    static std::string ReadFile(const wxString& path);

    // Sets the editor's text and selects [start, end) given in characters.
    static void SetTextAndSelect(wxStyledTextCtrl* edit, const wxString& text, long start, long end);
    static wxString SelectedText(wxStyledTextCtrl* edit) { return edit->GetSelectedText(); }
    // Sends a key to the editor as the keyboard would.
    static void PressKey(wxStyledTextCtrl* edit, int keyCode, bool ctrl = false, bool shift = false);

    wxDocManager* m_manager = nullptr;
    wxDocMDIParentFrame* m_frame = nullptr;
    std::unique_ptr<CMessageScript> m_messages;
    wxString m_dir;
};
