#include "DataLinkFile.h"

#include "AppStrings.h"
#include "common/ErrorText.h"
#include "platform/MessageBox.h"
#include "querycore/DataLinkFile.h"

wxString LoadDataLinkFile(const wxString& path)
{
    try {
        return wxString::FromUTF8(DataLinkFile::LoadConnectString(path.utf8_string()));
    } catch (const DataLinkFile::NotFound&) {
        throw CDataLinkFileError(wxString::Format(strings::kFileNotFound, path));
    }
}

wxString ConnectFromCommandLine(const wxString& path, bool* reported)
{
    wxString message;
    try {
        wxString connect = LoadDataLinkFile(path);
        if (reported)
            *reported = false;
        return connect;
    } catch (const CDataLinkFileError& e) {
        message = e.Message();
    } catch (const _com_error& e) {
        message = GetComErrorText(e);
    } catch (...) {
        message = strings::kErrorsOccurred;
    }
    TVMessageBox(message, wxOK | wxICON_STOP);
    if (reported)
        *reported = true;
    return wxString();
}
