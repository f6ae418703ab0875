// The command-line record of the class library: which shell command the command line asks for
// (open a file, print it, take a DDE request, register or unregister the program, run embedded
// or for automation) and its file name, filled one parameter at a time by ParseCommandLine.
#pragma once

#include <wx/string.h>

#include <string_view>

class CCommandLineInfo {
public:
    enum ShellCommand {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    };

    virtual ~CCommandLineInfo() = default;

    // One parameter: a flag without its prefix, or a plain parameter; last is set for the
    // final one.
    virtual void ParseParam(const wxString& param, bool flag, bool last);

    ShellCommand m_nShellCommand = FileNew;
    // The first plain parameter, wherever it stands.
    wxString m_strFileName;
    wxString m_strPrinterName;
    wxString m_strDriverName;
    wxString m_strPortName;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    bool m_bShowSplash = true;

private:
    void ParseParamFlag(const wxString& param);
    void ParseParamNotFlag(const wxString& param);
    void ParseLast(bool last);
};

// True when a parameter is a flag. "-" always starts one. "/" starts one only when the rest is
// a flag name of the program or of the record above, so that absolute paths (which begin with
// "/" here) are file names and option values.
bool IsCommandLineFlag(const wxString& arg);

// Hands argv[1] ... argv[argc - 1] to info.ParseParam, flags without their prefix.
void ParseCommandLine(CCommandLineInfo& info, int argc, const wxString* argv);
