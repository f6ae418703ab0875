// One recent list: entries newest first, kept in its settings section as "File1", "File2", ...
// (or the list's own entry format), at most `size` of them.
#pragma once

#include "common/SettingsTable.h"

#include <wx/string.h>

#include <vector>

class CMruFileList {
public:
    static constexpr size_t kMenuTextMax = 30;

    // `size` is the list's length after the size setting's clamping (1..16).
    CMruFileList(int firstId, const settings::RecentListKey& key, int size);

    int GetFirstId() const { return m_firstId; }
    int GetLastId() const { return m_firstId + static_cast<int>(m_size) - 1; }
    bool HasId(int id) const { return id >= GetFirstId() && id <= GetLastId(); }
    const wxString& GetSection() const { return m_section; }
    size_t GetSize() const { return m_size; }
    size_t GetCount() const { return m_entries.size(); }
    const wxString& operator[](size_t index) const { return m_entries[index]; }
    const std::vector<wxString>& Entries() const { return m_entries; }

    // The newest first; an entry already listed moves to the top; the oldest drops out at the
    // size limit. A relative path is made absolute first. Paths compare exactly.
    void Add(const wxString& entry);
    void Remove(size_t index);

    // The entry's text after its last "/".
    wxString GetDisplayName(size_t index) const;
    // The display name, cut to 30 characters ("..." marking the cut).
    wxString GetMenuText(size_t index) const;

    void Load(CSettingsStore& store = CSettingsStore::Get());
    // Writes the entries and removes keys of entries no longer listed.
    void Save(CSettingsStore& store = CSettingsStore::Get()) const;

    static std::vector<wxString> LoadEntries(const wxString& section, const wxString& entryFormat, size_t size,
                                             CSettingsStore& store = CSettingsStore::Get());
    static void SaveEntries(const wxString& section, const wxString& entryFormat,
                            const std::vector<wxString>& entries, CSettingsStore& store = CSettingsStore::Get());

private:
    int m_firstId;
    wxString m_section;
    wxString m_entryFormat;
    size_t m_size;
    std::vector<wxString> m_entries;
};
