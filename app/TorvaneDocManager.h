// The document manager: its recent-file list is sized from "Workspace"/"Max Files", and a file
// opened through it (recent list, shell) goes through the application's OpenDocumentFile.
#pragma once

#include <wx/docview.h>

class CTorvaneDocManager : public wxDocManager {
public:
    // Initialize() must follow construction, so that the recent-file list is made by the override.
    CTorvaneDocManager() : wxDocManager(0, false) {}

    wxFileHistory* OnCreateFileHistory() override;
    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
};
