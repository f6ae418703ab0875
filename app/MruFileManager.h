// Owner of the extra recent lists of the application (recent data link files, recent DSN-less
// logins): each list is read when the manager takes it and written when the manager is destroyed.
#pragma once

#include "MruFileList.h"

#include <memory>
#include <vector>

class CMruFileManager {
public:
    CMruFileManager() = default;
    ~CMruFileManager();
    CMruFileManager(const CMruFileManager&) = delete;
    CMruFileManager& operator=(const CMruFileManager&) = delete;

    // Loads the list from the settings and keeps it.
    CMruFileList& AddList(std::unique_ptr<CMruFileList> list);
    size_t GetListCount() const { return m_lists.size(); }
    CMruFileList* GetList(size_t index) const { return index < m_lists.size() ? m_lists[index].get() : nullptr; }
    // The list whose command range holds the id, or null.
    CMruFileList* FindList(int commandId) const;

    void SaveAll() const;
    // Writes every list and lets go of them.
    void Reset();

private:
    std::vector<std::unique_ptr<CMruFileList>> m_lists;
};
