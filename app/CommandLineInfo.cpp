#include "CommandLineInfo.h"

namespace {

// The program's own options (case-sensitive) and the record's shell flags.
constexpr const char* kOptionNames[] = {"C", "f", "F", "e", "E", "i", "o", "d", "q"};
constexpr const char* kCaseSensitiveShellFlags[] = {"pt", "p", "dde"};
constexpr const char* kShellFlags[] = {"Register", "Regserver", "Unregister", "Unregserver", "Embedding",
                                       "Automation"};

} // namespace

void CCommandLineInfo::ParseParam(const wxString& param, bool flag, bool last)
{
    if (flag)
        ParseParamFlag(param);
    else
        ParseParamNotFlag(param);
    ParseLast(last);
}

void CCommandLineInfo::ParseParamFlag(const wxString& param)
{
    if (param == "pt")
        m_nShellCommand = FilePrintTo;
    else if (param == "p")
        m_nShellCommand = FilePrint;
    else if (param.IsSameAs("Register", false) || param.IsSameAs("Regserver", false))
        m_nShellCommand = AppRegister;
    else if (param.IsSameAs("Unregister", false) || param.IsSameAs("Unregserver", false))
        m_nShellCommand = AppUnregister;
    else if (param == "dde")
        m_nShellCommand = FileDDE;
    else if (param.IsSameAs("Embedding", false)) {
        m_bRunEmbedded = true;
        m_bShowSplash = false;
    } else if (param.IsSameAs("Automation", false)) {
        m_bRunAutomated = true;
        m_bShowSplash = false;
    }
}

void CCommandLineInfo::ParseParamNotFlag(const wxString& param)
{
    if (m_strFileName.empty())
        m_strFileName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty())
        m_strPrinterName = param;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.empty())
        m_strDriverName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.empty())
        m_strPortName = param;
}

void CCommandLineInfo::ParseLast(bool last)
{
    if (last && m_nShellCommand == FileNew && !m_strFileName.empty())
        m_nShellCommand = FileOpen;
}

bool IsCommandLineFlag(const wxString& arg)
{
    if (arg.StartsWith("-"))
        return true;
    if (!arg.StartsWith("/"))
        return false;
    wxString rest = arg.Mid(1);
    for (const char* name : kOptionNames)
        if (rest == name)
            return true;
    for (const char* name : kCaseSensitiveShellFlags)
        if (rest == name)
            return true;
    for (const char* name : kShellFlags)
        if (rest.IsSameAs(name, false))
            return true;
    return false;
}

void ParseCommandLine(CCommandLineInfo& info, int argc, const wxString* argv)
{
    for (int i = 1; i < argc; ++i) {
        bool flag = IsCommandLineFlag(argv[i]);
        info.ParseParam(flag ? argv[i].Mid(1) : argv[i], flag, i == argc - 1);
    }
}
