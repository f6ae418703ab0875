// The command line as the program reads it: the shell command of the class library's record
// (open a file, print, unregister, ...) and the program's own options ("-C", "-f", ...), each
// kept by name with its value or "TRUE".
#pragma once

#include <wx/string.h>

#include <map>
#include <vector>

class CTorvaneCommandLineInfo {
public:
    enum ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing };

    CTorvaneCommandLineInfo() = default;
    // Parses the arguments after the program name.
    explicit CTorvaneCommandLineInfo(const std::vector<wxString>& args);

    void ParseParam(const wxString& param);

    // A parameter is a flag when it begins with "-", or with "/" followed by one of the
    // program's option names; any other "/..." is a path.
    static bool IsFlag(const wxString& param);

    bool Has(const wxString& option) const { return m_options.count(option) != 0; }
    // The option's value ("TRUE" for an option without one), or empty when absent.
    wxString Get(const wxString& option) const;
    // The option's trimmed value, empty when absent or when it is the word "TRUE".
    wxString GetValue(const wxString& option) const;

    ShellCommand m_nShellCommand = FileNew;
    wxString m_strFileName; // the first parameter that is not a flag
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;

private:
    void ParseShellFlag(const wxString& name);

    std::map<wxString, wxString> m_options;
    wxString m_lastFlag;
};

// The -F or -E value cut at every "|", each piece trimmed; empty pieces and "TRUE" dropped.
void SplitFileList(const wxString& text, std::vector<wxString>& files);
