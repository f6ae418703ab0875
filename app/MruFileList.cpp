#include "MruFileList.h"

#include <wx/filename.h>

#include <algorithm>

namespace {

// Keys beyond the largest list size are removed too, so a list that shrank leaves no strays.
constexpr size_t kMaxListSize = 16;

} // namespace

CMruFileList::CMruFileList(int firstId, const settings::RecentListKey& key, int size)
    : m_firstId(firstId), m_section(key.section), m_entryFormat(key.entryFormat),
      m_size(static_cast<size_t>(std::clamp(size, 1, static_cast<int>(kMaxListSize))))
{
}

void CMruFileList::Add(const wxString& entry)
{
    wxString path = entry;
    if (!path.empty() && !wxIsAbsolutePath(path)) {
        wxFileName fn(path);
        fn.MakeAbsolute();
        path = fn.GetFullPath();
    }
    if (path.empty())
        return;
    auto found = std::find(m_entries.begin(), m_entries.end(), path);
    if (found != m_entries.end())
        m_entries.erase(found);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > m_size)
        m_entries.resize(m_size);
}

void CMruFileList::Remove(size_t index)
{
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + index);
}

wxString CMruFileList::GetDisplayName(size_t index) const
{
    if (index >= m_entries.size())
        return wxString();
    return m_entries[index].AfterLast('/');
}

wxString CMruFileList::GetMenuText(size_t index) const
{
    wxString name = GetDisplayName(index);
    if (name.length() > kMenuTextMax)
        name = name.Left(kMenuTextMax - 3) + "...";
    return name;
}

void CMruFileList::Load(CSettingsStore& store)
{
    m_entries = LoadEntries(m_section, m_entryFormat, m_size, store);
}

void CMruFileList::Save(CSettingsStore& store) const
{
    SaveEntries(m_section, m_entryFormat, m_entries, store);
}

std::vector<wxString> CMruFileList::LoadEntries(const wxString& section, const wxString& entryFormat, size_t size,
                                                CSettingsStore& store)
{
    std::vector<wxString> entries;
    for (size_t i = 1; i <= size; ++i) {
        wxString value = store.GetProfileString(section, wxString::Format(entryFormat, static_cast<int>(i)));
        if (!value.empty())
            entries.push_back(value);
    }
    return entries;
}

void CMruFileList::SaveEntries(const wxString& section, const wxString& entryFormat,
                               const std::vector<wxString>& entries, CSettingsStore& store)
{
    for (size_t i = 1; i <= std::max(kMaxListSize, entries.size()); ++i) {
        wxString key = wxString::Format(entryFormat, static_cast<int>(i));
        if (i <= entries.size())
            store.WriteProfileString(section, key, entries[i - 1]);
        else if (store.HasKey(section, key))
            store.DeleteKey(section, key);
    }
}
