// The settings store: sections and keys kept in one file in the user's XDG config folder,
// standing in for the per-user registry hive. Sections may nest ("Grid\Export Options").
// Readers get their default when a value is missing; nothing is written on a read.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class wxFileConfig;

class CSettingsStore {
public:
    // The store of this process: $XDG_CONFIG_HOME/torvane/Torvane 5.0.conf
    // (XDG_CONFIG_HOME defaulting to ~/.config). Created readable by its owner only.
    static CSettingsStore& Get();

    explicit CSettingsStore(const wxString& filePath);
    ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    const wxString& GetFilePath() const { return m_path; }

    int GetProfileInt(const wxString& section, const wxString& key, int defaultValue) const;
    bool WriteProfileInt(const wxString& section, const wxString& key, int value);
    wxString GetProfileString(const wxString& section, const wxString& key,
                              const wxString& defaultValue = wxString()) const;
    bool WriteProfileString(const wxString& section, const wxString& key, const wxString& value);
    // Binary values are kept base64-encoded; false when missing or unreadable.
    bool GetProfileBinary(const wxString& section, const wxString& key, std::vector<uint8_t>& out) const;
    bool WriteProfileBinary(const wxString& section, const wxString& key, const std::vector<uint8_t>& value);

    bool HasKey(const wxString& section, const wxString& key) const;
    bool DeleteKey(const wxString& section, const wxString& key);
    bool DeleteSection(const wxString& section);
    // Removes every setting and the file itself; later writes start a new file.
    bool DeleteAll();
    // Key names of a section, in file order.
    std::vector<wxString> GetKeys(const wxString& section) const;

    // Writes pending changes to disk; called after every write so that a crash loses nothing.
    bool Flush();

private:
    wxString PathOf(const wxString& section, const wxString& key) const;

    wxString m_path;
    mutable std::recursive_mutex m_mutex;
    std::unique_ptr<wxFileConfig> m_config;
};
