#include "ConnectStrings.h"

wxString BuildMsdasqlConnectString(const wxString& driver)
{
    return wxString("PROVIDER=") + "MSDASQL;" + "Persist Security Info=False;Extended Properties=\"" + "DRIVER={" +
           driver + "};\"";
}

wxString ExtractDriverLogin(const wxString& connectString)
{
    const size_t at = connectString.Upper().find("DRIVER=");
    if (at == wxString::npos)
        return wxString();
    const wxString rest = connectString.Mid(at + 7);
    wxString login;
    if (rest.StartsWith("{")) {
        const size_t close = rest.find('}');
        login = close == wxString::npos ? rest.Mid(1) : rest.Mid(1, close - 1);
    } else {
        const size_t end = rest.find_first_of(";}");
        login = end == wxString::npos ? rest : rest.Left(end);
    }
    login.Replace("{", "");
    login.Replace("}", "");
    login.Trim(true).Trim(false);
    return login;
}
