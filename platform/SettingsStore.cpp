#include "SettingsStore.h"

#include <wx/base64.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>
#include <wx/utils.h>

#include <sys/stat.h>

#include <cstdlib>

namespace {

wxString ConfigFolder()
{
    wxString xdg;
    if (wxGetEnv("XDG_CONFIG_HOME", &xdg) && !xdg.empty() && wxIsAbsolutePath(xdg))
        return xdg;
    return wxGetHomeDir() + "/.config";
}

} // namespace

CSettingsStore& CSettingsStore::Get()
{
    static CSettingsStore store(ConfigFolder() + "/torvane/Torvane 5.0.conf");
    return store;
}

CSettingsStore::CSettingsStore(const wxString& filePath) : m_path(filePath)
{
    wxFileName fn(filePath);
    if (!fn.DirExists())
        wxFileName::Mkdir(fn.GetPath(), 0700, wxPATH_MKDIR_FULL);
    // The file holds connection strings: owner only, from its first byte on.
    if (!fn.FileExists()) {
        mode_t old = umask(077);
        FILE* f = fopen(filePath.utf8_str(), "a");
        if (f)
            fclose(f);
        umask(old);
    }
    chmod(filePath.utf8_str(), 0600);
    m_config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, filePath, wxEmptyString,
                                              wxCONFIG_USE_LOCAL_FILE);
    m_config->SetUmask(077);
    // Values are stored verbatim; no environment-variable expansion of "$" in connection strings.
    m_config->SetExpandEnvVars(false);
}

CSettingsStore::~CSettingsStore()
{
    std::lock_guard lock(m_mutex);
    m_config->Flush();
}

wxString CSettingsStore::PathOf(const wxString& section, const wxString& key) const
{
    wxString s = section;
    s.Replace("\\", "/");
    return "/" + s + "/" + key;
}

int CSettingsStore::GetProfileInt(const wxString& section, const wxString& key, int defaultValue) const
{
    std::lock_guard lock(m_mutex);
    long v = defaultValue;
    wxString text;
    if (!m_config->Read(PathOf(section, key), &text))
        return defaultValue;
    if (!text.ToLong(&v))
        return defaultValue;
    return static_cast<int>(v);
}

bool CSettingsStore::WriteProfileInt(const wxString& section, const wxString& key, int value)
{
    std::lock_guard lock(m_mutex);
    return m_config->Write(PathOf(section, key), wxString::Format("%d", value)) && m_config->Flush();
}

wxString CSettingsStore::GetProfileString(const wxString& section, const wxString& key,
                                          const wxString& defaultValue) const
{
    std::lock_guard lock(m_mutex);
    wxString v;
    if (!m_config->Read(PathOf(section, key), &v))
        return defaultValue;
    return v;
}

bool CSettingsStore::WriteProfileString(const wxString& section, const wxString& key, const wxString& value)
{
    std::lock_guard lock(m_mutex);
    return m_config->Write(PathOf(section, key), value) && m_config->Flush();
}

bool CSettingsStore::GetProfileBinary(const wxString& section, const wxString& key,
                                      std::vector<uint8_t>& out) const
{
    std::lock_guard lock(m_mutex);
    wxString v;
    if (!m_config->Read(PathOf(section, key), &v))
        return false;
    size_t posErr = 0;
    wxMemoryBuffer buf = wxBase64Decode(v, wxBase64DecodeMode_Relaxed, &posErr);
    if (posErr != 0 && buf.GetDataLen() == 0 && !v.empty())
        return false;
    auto* p = static_cast<const uint8_t*>(buf.GetData());
    out.assign(p, p + buf.GetDataLen());
    return true;
}

bool CSettingsStore::WriteProfileBinary(const wxString& section, const wxString& key,
                                        const std::vector<uint8_t>& value)
{
    std::lock_guard lock(m_mutex);
    return m_config->Write(PathOf(section, key), wxBase64Encode(value.data(), value.size())) &&
           m_config->Flush();
}

bool CSettingsStore::HasKey(const wxString& section, const wxString& key) const
{
    std::lock_guard lock(m_mutex);
    return m_config->HasEntry(PathOf(section, key));
}

bool CSettingsStore::DeleteKey(const wxString& section, const wxString& key)
{
    std::lock_guard lock(m_mutex);
    bool ok = m_config->DeleteEntry(PathOf(section, key), false);
    m_config->Flush();
    return ok;
}

bool CSettingsStore::DeleteSection(const wxString& section)
{
    std::lock_guard lock(m_mutex);
    wxString s = section;
    s.Replace("\\", "/");
    bool ok = m_config->DeleteGroup("/" + s);
    m_config->Flush();
    return ok;
}

bool CSettingsStore::DeleteAll()
{
    std::lock_guard lock(m_mutex);
    return m_config->DeleteAll();
}

std::vector<wxString> CSettingsStore::GetKeys(const wxString& section) const
{
    std::lock_guard lock(m_mutex);
    std::vector<wxString> keys;
    wxString s = section;
    s.Replace("\\", "/");
    wxString old = m_config->GetPath();
    m_config->SetPath("/" + s);
    wxString name;
    long cookie = 0;
    for (bool more = m_config->GetFirstEntry(name, cookie); more; more = m_config->GetNextEntry(name, cookie))
        keys.push_back(name);
    m_config->SetPath(old);
    return keys;
}

bool CSettingsStore::Flush()
{
    std::lock_guard lock(m_mutex);
    return m_config->Flush();
}
