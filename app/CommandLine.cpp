#include "CommandLine.h"

namespace {

const char* const kOptionNames[] = {"C", "f", "F", "e", "E", "i", "o", "d", "q"};
const char* const kShellFlags[] = {"Unregister", "Unregserver", "p", "pt", "dde", "Embedding", "Automation"};

} // namespace

CTorvaneCommandLineInfo::CTorvaneCommandLineInfo(const std::vector<wxString>& args)
{
    for (const wxString& arg : args)
        ParseParam(arg);
}

bool CTorvaneCommandLineInfo::IsFlag(const wxString& param)
{
    if (param.length() < 2)
        return false;
    if (param[0] == '-')
        return true;
    if (param[0] != '/')
        return false;
    wxString name = param.Mid(1);
    for (const char* option : kOptionNames)
        if (name == option)
            return true;
    for (const char* flag : kShellFlags)
        if (name.CmpNoCase(flag) == 0)
            return true;
    return false;
}

void CTorvaneCommandLineInfo::ParseParam(const wxString& param)
{
    if (IsFlag(param)) {
        wxString name = param.Mid(1);
        m_options[name] = "TRUE";
        m_lastFlag = name;
        ParseShellFlag(name);
        return;
    }
    if (!m_lastFlag.empty()) {
        m_options[m_lastFlag] = param;
        m_lastFlag.clear();
    }
    if (m_strFileName.empty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    }
}

void CTorvaneCommandLineInfo::ParseShellFlag(const wxString& name)
{
    if (name.CmpNoCase("Unregister") == 0 || name.CmpNoCase("Unregserver") == 0)
        m_nShellCommand = AppUnregister;
    else if (name.CmpNoCase("pt") == 0)
        m_nShellCommand = FilePrintTo;
    else if (name.CmpNoCase("p") == 0)
        m_nShellCommand = FilePrint;
    else if (name.CmpNoCase("dde") == 0)
        m_nShellCommand = FileDDE;
    else if (name.CmpNoCase("Embedding") == 0)
        m_bRunEmbedded = true;
    else if (name.CmpNoCase("Automation") == 0)
        m_bRunAutomated = true;
}

wxString CTorvaneCommandLineInfo::Get(const wxString& option) const
{
    auto found = m_options.find(option);
    return found == m_options.end() ? wxString() : found->second;
}

wxString CTorvaneCommandLineInfo::GetValue(const wxString& option) const
{
    wxString value = Get(option);
    value.Trim(true).Trim(false);
    if (value.CmpNoCase("TRUE") == 0)
        return wxString();
    return value;
}

void SplitFileList(const wxString& text, std::vector<wxString>& files)
{
    wxString rest = text + "|";
    while (!rest.empty()) {
        wxString piece = rest.BeforeFirst('|');
        rest = rest.AfterFirst('|');
        piece.Trim(true).Trim(false);
        if (!piece.empty() && piece.CmpNoCase("TRUE") != 0)
            files.push_back(piece);
    }
}
