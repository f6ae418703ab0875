#include "DataLinkFile.h"

#include "AppStrings.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/tokenzr.h>

wxString LoadDataLinkFile(const wxString& path)
{
    if (!wxFileName::FileExists(path))
        throw CDataLinkFileError(wxString::Format(strings::kFileNotFound, path));
    wxFFile file(path, "rb");
    wxString text;
    if (file.IsOpened()) {
        wxFileOffset length = file.Length();
        std::string bytes(length > 0 ? static_cast<size_t>(length) : 0, '\0');
        if (!bytes.empty() && file.Read(bytes.data(), bytes.size()) != bytes.size())
            bytes.clear();
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE)
            text = wxString(bytes.data() + 2, wxMBConvUTF16LE(), bytes.size() - 2);
        else {
            text = wxString::FromUTF8(bytes.data(), bytes.size());
            if (text.empty() && !bytes.empty())
                text = wxString(bytes.data(), wxConvISO8859_1, bytes.size());
        }
    }
    wxString connect;
    for (wxString line : wxStringTokenize(text, "\r\n", wxTOKEN_STRTOK)) {
        line.Trim(true).Trim(false);
        if (line.empty() || line.StartsWith(";") || line.CmpNoCase("[oledb]") == 0)
            continue;
        connect = line;
        break;
    }
    if (!connect.Upper().Contains("PROVIDER="))
        connect.clear();
    return connect;
}
