#include "MruFileList.h"

#include "platform/SettingsStore.h"

#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/menu.h>

#include <algorithm>

CMruFileList::CMruFileList(int firstId, const wxString& section, const wxString& entryFormat, int size,
                           int maxDisplayLength)
    : m_firstId(firstId),
      m_section(section),
      m_entryFormat(entryFormat),
      m_maxSize(size),
      m_maxDisplayLength(maxDisplayLength)
{
}

int CMruFileList::ClampListSize(int stored)
{
    if (stored > 16)
        return 16;
    if (stored <= 0)
        return 9;
    return stored;
}

void CMruFileList::Add(const wxString& path)
{
    wxFileName name(path);
    name.MakeAbsolute();
    const wxString full = name.GetFullPath();
    auto existing = std::find(m_entries.begin(), m_entries.end(), full);
    if (existing != m_entries.end())
        m_entries.erase(existing);
    m_entries.insert(m_entries.begin(), full);
    if (static_cast<int>(m_entries.size()) > m_maxSize)
        m_entries.resize(m_maxSize);
}

void CMruFileList::Remove(int index)
{
    if (index >= 0 && index < GetSize())
        m_entries.erase(m_entries.begin() + index);
}

wxString CMruFileList::GetDisplayName(int index) const
{
    const wxString& entry = m_entries[index];
    const size_t slash = entry.find_last_of('/');
    wxString name = slash == wxString::npos ? entry : entry.substr(slash + 1);
    if (static_cast<int>(name.length()) > m_maxDisplayLength)
        name = name.Left(std::max(0, m_maxDisplayLength - 3)) + "...";
    return name;
}

void CMruFileList::ReadList(const CSettingsStore& store)
{
    m_entries.clear();
    for (int i = 1; i <= m_maxSize; ++i) {
        const wxString entry = store.GetProfileString(m_section, wxString::Format(m_entryFormat, i));
        if (!entry.empty())
            m_entries.push_back(entry);
    }
}

void CMruFileList::WriteList(CSettingsStore& store) const
{
    for (int i = 1; i <= std::max(m_maxSize, 16); ++i) {
        const wxString key = wxString::Format(m_entryFormat, i);
        if (i <= GetSize())
            store.WriteProfileString(m_section, key, m_entries[i - 1]);
        else if (store.HasKey(m_section, key))
            store.DeleteKey(m_section, key);
    }
}

namespace {

// The menu holding an item of the range, and the position of the first such item.
wxMenu* FindRangeMenu(wxMenu* menu, int first, int last, size_t& position)
{
    const wxMenuItemList& items = menu->GetMenuItems();
    size_t index = 0;
    for (auto node = items.GetFirst(); node; node = node->GetNext(), ++index) {
        wxMenuItem* item = node->GetData();
        if (item->GetId() >= first && item->GetId() <= last) {
            position = index;
            return menu;
        }
        if (item->GetSubMenu())
            if (wxMenu* found = FindRangeMenu(item->GetSubMenu(), first, last, position))
                return found;
    }
    return nullptr;
}

} // namespace

void CMruFileList::UpdateMenu(wxMenu* menu)
{
    const int last = m_firstId + 15;
    size_t position = 0;
    wxMenu* target = FindRangeMenu(menu, m_firstId, last, position);
    if (!target)
        return;
    for (int id = m_firstId; id <= last; ++id) {
        if (wxMenuItem* item = target->FindChildItem(id)) {
            if (id == m_firstId && m_placeholder.empty())
                m_placeholder = item->GetItemLabel();
            target->Destroy(item);
        }
    }
    if (GetSize() == 0) {
        target->Insert(position, m_firstId, m_placeholder.empty() ? wxString("Recent List") : m_placeholder);
        target->Enable(m_firstId, false);
        return;
    }
    for (int i = 0; i < GetSize(); ++i) {
        wxString label = GetDisplayName(i);
        label.Replace("&", "&&");
        const wxString number = i < 9 ? wxString::Format("&%d", i + 1) : wxString::Format("1&%d", i - 9);
        target->Insert(position + i, m_firstId + i, number + " " + label, m_entries[i]);
    }
}

CMruFileManager::CMruFileManager(std::unique_ptr<CMruFileList> list, CSettingsStore& store, OpenHandler open)
    : m_list(std::move(list)), m_store(store), m_open(std::move(open))
{
    m_list->ReadList(m_store);
}

CMruFileManager::~CMruFileManager()
{
    m_list->WriteList(m_store);
}

void CMruFileManager::Attach(wxFrame* frame)
{
    const int first = m_list->GetFirstId();
    const int last = first + 15;
    frame->Bind(wxEVT_MENU, &CMruFileManager::OnOpenEntry, this, first, last);
    frame->Bind(wxEVT_UPDATE_UI, &CMruFileManager::OnUpdateEntry, this, first, last);
    frame->Bind(wxEVT_MENU_OPEN, &CMruFileManager::OnMenuOpen, this);
}

void CMruFileManager::OnOpenEntry(wxCommandEvent& event)
{
    const int index = event.GetId() - m_list->GetFirstId();
    if (index >= 0 && index < m_list->GetSize() && m_open)
        m_open(*this, index);
}

void CMruFileManager::OnUpdateEntry(wxUpdateUIEvent& event)
{
    event.Enable(m_list->GetSize() > 0);
}

void CMruFileManager::OnMenuOpen(wxMenuEvent& event)
{
    event.Skip();
    if (wxMenu* menu = event.GetMenu())
        m_list->UpdateMenu(menu);
}
