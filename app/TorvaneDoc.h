// The query document: the SQL text of one query window and its file.
#pragma once

#include <wx/docview.h>

class CQryView;

class CTorvaneDoc : public wxDocument {
public:
    CTorvaneDoc() = default;

    // A new query starts without a title; the main window names it "Untitled_N - (New Query)".
    bool OnNewDocument() override;

    CQryView* GetQueryView() const;

protected:
    bool DoOpenDocument(const wxString& path) override;
    bool DoSaveDocument(const wxString& path) override;

private:
    wxDECLARE_DYNAMIC_CLASS(CTorvaneDoc);
};
