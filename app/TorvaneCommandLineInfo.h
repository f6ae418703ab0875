// The program's command-line options (-C, -f, -F, -e, -E, -i, -o, -d, -q) on top of the class
// library's record, and what they ask for: connect and open files, execute them, or run one
// input file in a batch whose results go to an output file. No window is involved; the
// application shows the messages and opens the windows.
#pragma once

#include "CommandLineInfo.h"

#include <wx/defs.h>

#include <map>
#include <optional>
#include <vector>

// What a batch run hands to its query window (the save options of Execute and Save As).
struct CommandLineBatch {
    int format = 0;        // an export_options::FileType
    wxString outputPath;   // folder + name + extension
    wxString delimiter;    // delimited text only; "\t" given as backslash-t is a TAB; "," without -d
    bool openInExcel = false;
    bool publish = false;
};

// The decision taken from the options.
struct CommandLineRequest {
    enum Kind {
        Usage,   // show the usage text, string 61221 (information icon) and end the program
        Refused, // show message with icon and end the program
        Open,    // connect and open (below)
    };
    Kind kind = Usage;
    wxString message;
    long icon = wxICON_INFORMATION;

    // The trimmed -C value: a connect string, or a data link file as "File Name=<path>".
    wxString connectString;
    // The path after "File Name=" when -C names a data link file, as it was given.
    wxString dataLinkFile;
    // The files to open in query windows (none: only connect), and whether they run.
    std::vector<wxString> files;
    bool execute = false;
    std::optional<CommandLineBatch> batch;
};

class CTorvaneCommandLineInfo : public CCommandLineInfo {
public:
    void ParseParam(const wxString& param, bool flag, bool last) override;

    // The value of an option: the parameter after it, or "TRUE" when none followed; false
    // when the option was not given. Names are case-sensitive; the last occurrence counts.
    bool GetOption(const wxString& name, wxString& value) const;

    // The first decision on a command line: unregister (the record processes it and the
    // program ends); show the usage text (no plain parameter at all, print, print-to, started
    // embedded or for automation); perform the record's shell command (a DDE request, or the
    // first plain parameter names an existing file: the options are then ignored); or go on
    // with the options (GetRequest).
    enum StartAction { Unregister, ShowUsage, ShellCommand, ProcessOptions };
    StartAction GetStartAction() const;

    // The options' request (the batch checks create the output folder as they go).
    CommandLineRequest GetRequest() const;

    // The files of a -F or -E value: cut at every "|", trimmed, empty pieces and "TRUE" dropped.
    static void SplitFileList(const wxString& text, std::vector<wxString>& files);

private:
    bool CheckBatch(CommandLineRequest& request) const;

    std::map<wxString, wxString> m_options;
    wxString m_strLastFlag;
};
