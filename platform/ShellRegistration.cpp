#include "ShellRegistration.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include <sys/stat.h>

#include <vector>

namespace {

const char* const kDesktopId = "torvane.desktop";
const char* const kMimeTypes[] = {"application/sql", "text/x-sql"};
const char* const kDefaultGroup = "[Default Applications]";
const char* const kAddedGroup = "[Added Associations]";

// Quotes an argument of the desktop entry's Exec key (Desktop Entry Specification rules).
wxString QuoteExecArg(const wxString& arg)
{
    bool plain = !arg.empty();
    for (wxUniChar c : arg)
        if (!(wxIsalnum(c) || c == '/' || c == '.' || c == '_' || c == '-' || c == '+'))
            plain = false;
    if (plain)
        return arg;
    wxString quoted = "\"";
    for (wxUniChar c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        quoted += c;
    }
    quoted += "\"";
    quoted.Replace("%", "%%");
    return quoted;
}

bool ReadText(const wxString& path, wxString& text)
{
    text.clear();
    if (!wxFileExists(path))
        return true;
    wxFFile file(path, "rb");
    return file.IsOpened() && file.ReadAll(&text, wxConvUTF8);
}

// Writes through a temporary file in the same folder, so that readers never see half a file.
bool WriteText(const wxString& path, const wxString& text)
{
    wxFileName fn(path);
    if (!fn.DirExists() && !wxFileName::Mkdir(fn.GetPath(), 0755, wxPATH_MKDIR_FULL))
        return false;
    wxString temp = path + ".tmp";
    {
        wxFFile file(temp, "wb");
        if (!file.IsOpened() || !file.Write(text, wxConvUTF8) || !file.Flush()) {
            wxRemoveFile(temp);
            return false;
        }
    }
    if (!wxRenameFile(temp, path, true)) {
        wxRemoveFile(temp);
        return false;
    }
    return true;
}

// Drops `id` from a ";"-separated list of desktop ids.
wxString WithoutId(const wxString& list, const wxString& id)
{
    wxString out;
    for (const wxString& item : wxStringTokenize(list, ";", wxTOKEN_STRTOK))
        if (item.Strip(wxString::both) != id)
            out += item + ";";
    return out;
}

} // namespace

wxString CShellRegistration::DataFolder()
{
    wxString xdg;
    if (wxGetEnv("XDG_DATA_HOME", &xdg) && wxIsAbsolutePath(xdg))
        return xdg;
    return wxGetHomeDir() + "/.local/share";
}

wxString CShellRegistration::DesktopEntryPath()
{
    return DataFolder() + "/applications/" + kDesktopId;
}

wxString CShellRegistration::MimeAppsPath()
{
    return DataFolder() + "/applications/mimeapps.list";
}

wxString CShellRegistration::DesktopEntryText(const wxString& executable)
{
    wxString mime;
    for (const char* m : kMimeTypes)
        mime += wxString(m) + ";";
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Torvane\n"
           "Comment=SQL query tool\n"
           "Exec=" + QuoteExecArg(executable) + " %f\n"
           "Terminal=false\n"
           "Categories=Development;Database;\n"
           "MimeType=" + mime + "\n";
}

wxString CShellRegistration::UpdateMimeApps(const wxString& text, bool on)
{
    std::vector<wxString> lines;
    for (const wxString& line : wxStringTokenize(text, "\n", wxTOKEN_RET_EMPTY_ALL))
        lines.push_back(line);
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();

    auto isOurMime = [](const wxString& key) {
        for (const char* m : kMimeTypes)
            if (key == m)
                return true;
        return false;
    };

    // Pass 1: drop our entries everywhere; keep everything else.
    std::vector<wxString> kept;
    wxString group;
    for (const wxString& line : lines) {
        wxString trimmed = line.Strip(wxString::both);
        if (trimmed.StartsWith("[")) {
            group = trimmed;
            kept.push_back(line);
            continue;
        }
        wxString key = trimmed.BeforeFirst('=').Strip(wxString::both);
        if ((group == kDefaultGroup || group == kAddedGroup) && trimmed.Contains("=") && isOurMime(key)) {
            wxString rest = WithoutId(trimmed.AfterFirst('='), kDesktopId);
            if (!rest.empty())
                kept.push_back(key + "=" + rest);
            continue;
        }
        kept.push_back(line);
    }

    if (on) {
        // Pass 2: our program becomes the default and is listed first among the added ones.
        auto addTo = [&](const wxString& wanted, bool first) {
            size_t start = kept.size();
            for (size_t i = 0; i < kept.size(); ++i)
                if (kept[i].Strip(wxString::both) == wanted) {
                    start = i;
                    break;
                }
            if (start == kept.size()) {
                if (!kept.empty() && !kept.back().empty())
                    kept.push_back(wxString());
                kept.push_back(wanted);
            }
            size_t end = start + 1;
            while (end < kept.size() && !kept[end].Strip(wxString::both).StartsWith("["))
                ++end;
            for (const char* m : kMimeTypes) {
                bool merged = false;
                for (size_t i = start + 1; i < end; ++i) {
                    wxString trimmed = kept[i].Strip(wxString::both);
                    if (trimmed.BeforeFirst('=').Strip(wxString::both) == m) {
                        wxString rest = trimmed.AfterFirst('=');
                        kept[i] = wxString(m) + "=" + (first ? wxString(kDesktopId) + ";" + rest : rest + kDesktopId + ";");
                        merged = true;
                    }
                }
                if (!merged) {
                    size_t at = end;
                    while (at > start + 1 && kept[at - 1].Strip(wxString::both).empty())
                        --at;
                    kept.insert(kept.begin() + at, wxString(m) + "=" + kDesktopId + ";");
                    ++end;
                }
            }
        };
        addTo(kDefaultGroup, true);
        addTo(kAddedGroup, true);
    }

    wxString out;
    for (const wxString& line : kept)
        out += line + "\n";
    return out;
}

bool CShellRegistration::Register(const wxString& executable)
{
    if (!WriteText(DesktopEntryPath(), DesktopEntryText(executable)))
        return false;
    wxString mimeApps;
    if (!ReadText(MimeAppsPath(), mimeApps))
        return false;
    return WriteText(MimeAppsPath(), UpdateMimeApps(mimeApps, true));
}

bool CShellRegistration::Unregister()
{
    bool ok = true;
    if (wxFileExists(DesktopEntryPath()))
        ok = wxRemoveFile(DesktopEntryPath());
    wxString mimeApps;
    if (wxFileExists(MimeAppsPath())) {
        if (!ReadText(MimeAppsPath(), mimeApps))
            return false;
        wxString updated = UpdateMimeApps(mimeApps, false);
        if (updated != mimeApps)
            ok = WriteText(MimeAppsPath(), updated) && ok;
    }
    return ok;
}

bool CShellRegistration::IsRegistered()
{
    return wxFileExists(DesktopEntryPath());
}
