#include "ShellOpen.h"

#include "ErrorText.h"

#include <wx/cmdline.h>
#include <wx/log.h>
#include <wx/regex.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsExecutableFile(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's path: as given when it holds a "/", else the first match on PATH. Sets errno
// and returns empty when there is none.
wxString ResolveProgram(const wxString& program)
{
    if (program.find('/') != wxString::npos) {
        if (IsExecutableFile(program.utf8_string()))
            return program;
        if (::access(program.utf8_string().c_str(), F_OK) == 0)
            errno = EACCES;
        else
            errno = ENOENT;
        return wxString();
    }
    wxString path;
    if (!program.empty() && wxGetEnv("PATH", &path)) {
        for (const wxString& dir : wxStringTokenize(path, ":", wxTOKEN_STRTOK)) {
            const wxString candidate = dir + "/" + program;
            if (IsExecutableFile(candidate.utf8_string()))
                return candidate;
        }
    }
    errno = ENOENT;
    return wxString();
}

bool IsAddress(const wxString& target)
{
    static const wxRegEx scheme("^[A-Za-z][A-Za-z0-9+.-]*:", wxRE_EXTENDED);
    return scheme.Matches(target);
}

bool Failed(wxString& errorText)
{
    errorText = GetLastErrorText();
    if (errorText.empty())
        errorText = "Errors occurred.";
    return false;
}

} // namespace

bool ShellOpenFile(const wxString& target, wxString& errorText, const wxString& parameters)
{
    errorText.clear();
    errno = 0;
    // The launchers log their own failures; the caller shows ours instead.
    wxLogNull quiet;
    if (!parameters.empty()) {
        const wxString program = ResolveProgram(target);
        if (program.empty())
            return Failed(errorText);
        std::vector<std::string> args{program.utf8_string()};
        for (const wxString& arg : wxCmdLineParser::ConvertStringToArgs(parameters, wxCMD_LINE_SPLIT_UNIX))
            args.push_back(arg.utf8_string());
        std::vector<const char*> argv;
        for (const std::string& arg : args)
            argv.push_back(arg.c_str());
        argv.push_back(nullptr);
        if (wxExecute(argv.data(), wxEXEC_ASYNC) > 0)
            return true;
        return Failed(errorText);
    }
    const bool exists = ::access(target.utf8_string().c_str(), F_OK) == 0;
    const int accessError = exists ? 0 : errno;
    if (!exists && IsAddress(target)) {
        if (wxLaunchDefaultBrowser(target))
            return true;
        return Failed(errorText);
    }
    if (!exists) {
        errno = accessError;
        return Failed(errorText);
    }
    errno = 0;
    if (wxLaunchDefaultApplication(target))
        return true;
    // The file is there: what is missing is a program to open it (no desktop opener, or none
    // for this kind of file), not the file the launcher's errno would name.
    errorText = kNoAssociation;
    return false;
}
