#include "TorvaneDocManager.h"

#include "common/CommandIds.h"
#include "common/SettingsTable.h"
#include "TorvaneApp.h"

#include <wx/filehistory.h>

wxFileHistory* CTorvaneDocManager::OnCreateFileHistory()
{
    return new wxFileHistory(settings::ReadInt(settings::MaxFiles), ID_FILE_MRU_FIRST);
}

wxDocument* CTorvaneDocManager::CreateDocument(const wxString& path, long flags)
{
    if (path.empty())
        return wxDocManager::CreateDocument(path, flags);
    return TheApp().OpenDocumentFile(path);
}
