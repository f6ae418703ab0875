#include "MruFileManager.h"

CMruFileManager::~CMruFileManager()
{
    SaveAll();
}

CMruFileList& CMruFileManager::AddList(std::unique_ptr<CMruFileList> list)
{
    list->Load();
    m_lists.push_back(std::move(list));
    return *m_lists.back();
}

CMruFileList* CMruFileManager::FindList(int commandId) const
{
    for (const auto& list : m_lists)
        if (list->HasId(commandId))
            return list.get();
    return nullptr;
}

void CMruFileManager::SaveAll() const
{
    for (const auto& list : m_lists)
        list->Save();
}

void CMruFileManager::Reset()
{
    SaveAll();
    m_lists.clear();
}
