// The recent data link files and the recent DSN-less logins: recent lists kept in a settings
// section, newest first, shown in a menu from a first command id on.
#pragma once

#include <wx/event.h>
#include <wx/string.h>

#include <functional>
#include <memory>
#include <vector>

class CSettingsStore;
class wxFrame;
class wxMenu;

class CMruFileList {
public:
    // entryFormat holds one %d, numbered from 1 ("File%d"). size: the number of entries kept.
    CMruFileList(int firstId, const wxString& section, const wxString& entryFormat, int size,
                 int maxDisplayLength = 30);

    int GetFirstId() const { return m_firstId; }
    int GetMaxSize() const { return m_maxSize; }
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    const wxString& operator[](int index) const { return m_entries[index]; }

    // Adds the path, made absolute, at the top; an entry already present moves to the top and
    // the oldest drops out at the size limit.
    void Add(const wxString& path);
    void Remove(int index);

    // The text after the entry's last path separator, shortened to the display length.
    wxString GetDisplayName(int index) const;

    void ReadList(const CSettingsStore& store);
    void WriteList(CSettingsStore& store) const;

    // Puts the entries into the menu (or its submenus) in place of the items of the list's
    // command range; an empty list leaves its first item, disabled, with its original text.
    void UpdateMenu(wxMenu* menu);

    // The size setting read as the lists read it: above 16 gives 16, 0 or below gives 9.
    static int ClampListSize(int stored);

private:
    int m_firstId;
    wxString m_section;
    wxString m_entryFormat;
    int m_maxSize;
    int m_maxDisplayLength;
    std::vector<wxString> m_entries;
    wxString m_placeholder; // text of the menu's first item before the list filled it
};

// Routes the commands of one recent list: enables them while the list has entries, fills the
// menu when it opens, and hands a chosen entry to its open routine. Writes the list when it is
// destroyed.
class CMruFileManager : public wxEvtHandler {
public:
    typedef std::function<void(CMruFileManager& manager, int index)> OpenHandler;

    CMruFileManager(std::unique_ptr<CMruFileList> list, CSettingsStore& store, OpenHandler open);
    ~CMruFileManager() override;

    CMruFileList& GetList() { return *m_list; }

    // Binds the list's commands and the menu updates of the frame.
    void Attach(wxFrame* frame);

    void OnOpenEntry(wxCommandEvent& event);
    void OnUpdateEntry(wxUpdateUIEvent& event);
    void OnMenuOpen(wxMenuEvent& event);

private:
    std::unique_ptr<CMruFileList> m_list;
    CSettingsStore& m_store;
    OpenHandler m_open;
};
