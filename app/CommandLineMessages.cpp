#include "CommandLineMessages.h"

#include "platform/MessageBox.h"

#include <wx/filename.h>
#include <wx/stdpaths.h>

namespace command_line {

namespace {

wxString UsageText(const wxString& program, const wxString& readmePath)
{
    // Every example connects through a driver of this system: a SQLite file, a PostgreSQL
    // server and a data link file.
    return wxString::Format("Usage: %s\n"
                            "\t[-C \"File Name=<data link filename>\" or <connect string>]\n"
                            "\t[-f <filename to open>]\n"
                            "\t[-F <file list to load separated by pipe (|)>]\n"
                            "\t[-e <filename to open and execute>]\n"
                            "\t[-E <file list to load and execute separated by pipe (|)>]\n"
                            "\t[-i <input file> -o <output file> -d <delimiter> -q <auto-publish/export flag>]\n"
                            "\t\t\n"
                            "Examples: %s\n"
                            "\t-C \"File Name=</path/test.udl>\" -e \"</path/1.sql>\"\n"
                            "\t-C \"Provider=MSDASQL;Driver=SQLite3;Database=</path/test.db>\" "
                            "-F \"</path/1.sql|/path/2.sql>\"\n"
                            "\t-C \"Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=<Srvr>;Database=<DB>;"
                            "UID=<UID>;PWD=<PWD>\" -i \"</path/in.sql>\" -o \"</path/out.csv>\"\n"
                            "\n"
                            "Tip: Connection string may be copied from within the application by right\n"
                            "       clicking on the Schema View root node and choosing Connection String.\n"
                            "\n"
                            "More information can be found in %s.",
                            program, program, readmePath);
}

} // namespace

wxString UsageText()
{
    const wxFileName executable(wxStandardPaths::Get().GetExecutablePath());
    return UsageText(executable.GetFullName(), wxFileName(executable.GetPath(), "readme.htm").GetFullPath());
}

void ShowUsage()
{
    TVMessageBox(UsageText(), wxOK | wxICON_INFORMATION);
}

bool ShowRefusal(const CommandLineRequest& request)
{
    switch (request.kind) {
    case CommandLineRequest::Usage:
        ShowUsage();
        return true;
    case CommandLineRequest::Refused:
        TVMessageBox(request.message, wxOK | request.icon);
        return true;
    case CommandLineRequest::Open:
        return false;
    }
    return false;
}

} // namespace command_line
