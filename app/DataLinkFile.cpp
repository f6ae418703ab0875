#include "DataLinkFile.h"

#include "AppStrings.h"
#include "query/DataLinkFile.h"

wxString LoadDataLinkFile(const wxString& path)
{
    try {
        return wxString::FromUTF8(DataLinkFile::LoadConnectString(path.utf8_string()));
    } catch (const DataLinkFile::NotFound&) {
        throw CDataLinkFileError(wxString::Format(strings::kFileNotFound, path));
    }
}
