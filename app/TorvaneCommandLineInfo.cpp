#include "TorvaneCommandLineInfo.h"

#include "common/FileHelpers.h"
#include "common/IdentifierText.h"
#include "querycore/ExportOptions.h"

#include <wx/filefn.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

bool IsTrueText(const wxString& value)
{
    return value.IsSameAs("TRUE", false);
}

wxString Trimmed(wxString s)
{
    return s.Trim(true).Trim(false);
}

} // namespace

void CTorvaneCommandLineInfo::ParseParam(const wxString& param, bool flag, bool last)
{
    if (flag) {
        m_options[param] = "TRUE";
        m_strLastFlag = param;
    } else if (!m_strLastFlag.empty()) {
        m_options[m_strLastFlag] = param;
        m_strLastFlag.clear();
    }
    CCommandLineInfo::ParseParam(param, flag, last);
}

bool CTorvaneCommandLineInfo::GetOption(const wxString& name, wxString& value) const
{
    auto it = m_options.find(name);
    if (it == m_options.end())
        return false;
    value = it->second;
    return true;
}

void CTorvaneCommandLineInfo::SplitFileList(const wxString& text, std::vector<wxString>& files)
{
    wxString rest = text + "|";
    for (int bar = rest.Find('|'); bar != wxNOT_FOUND; bar = rest.Find('|')) {
        wxString piece = Trimmed(rest.Left(bar));
        rest = rest.Mid(bar + 1);
        if (!piece.empty() && !IsTrueText(piece))
            files.push_back(piece);
    }
}

CTorvaneCommandLineInfo::StartAction CTorvaneCommandLineInfo::GetStartAction() const
{
    if (m_nShellCommand == AppUnregister)
        return Unregister;
    if (m_nShellCommand == FileNew || m_nShellCommand == FilePrint || m_nShellCommand == FilePrintTo ||
        m_bRunEmbedded || m_bRunAutomated)
        return ShowUsage;
    std::error_code error;
    if (m_nShellCommand == FileDDE || std::filesystem::exists(m_strFileName.utf8_string(), error))
        return ShellCommand;
    return ProcessOptions;
}

CommandLineRequest CTorvaneCommandLineInfo::GetRequest() const
{
    CommandLineRequest request;
    wxString value;
    if (GetOption("C", value))
        request.connectString = Trimmed(value);

    // The first option present in this order wins; the others are ignored.
    const char* chosen = nullptr;
    for (const char* name : {"f", "F", "e", "E", "i"}) {
        if (m_options.count(name)) {
            chosen = name;
            break;
        }
    }
    const wxString option = chosen ? chosen : "";
    if (option == "f" || option == "e") {
        GetOption(option, value);
        request.execute = option == "e";
        value = Trimmed(value);
        if (!value.empty() && !IsTrueText(value))
            request.files.push_back(value);
    } else if (option == "F" || option == "E") {
        GetOption(option, value);
        request.execute = option == "E";
        SplitFileList(value, request.files);
    } else if (option == "i") {
        if (!CheckBatch(request))
            return request;
    } else if (request.connectString.empty()) {
        request.kind = CommandLineRequest::Usage;
        return request;
    }

    // The path is taken from the text as given: file names are case-sensitive.
    int fileName = request.connectString.Upper().Find("FILE NAME=");
    if (fileName != wxNOT_FOUND)
        request.dataLinkFile = Trimmed(request.connectString.Mid(fileName + 10));
    request.kind = CommandLineRequest::Open;
    return request;
}

bool CTorvaneCommandLineInfo::CheckBatch(CommandLineRequest& request) const
{
    const auto refuse = [&](const wxString& message, long icon) {
        request.kind = CommandLineRequest::Refused;
        request.message = message;
        request.icon = icon;
        return false;
    };

    // An option given without its value holds "TRUE": it names no file.
    wxString input;
    GetOption("i", input);
    input = Trimmed(input);
    wxString output;
    const bool outputGiven = GetOption("o", output);
    output = Trimmed(output);
    if (input.empty() || IsTrueText(input) || (outputGiven && IsTrueText(output))) {
        request.kind = CommandLineRequest::Usage;
        return false;
    }
    if (output.empty())
        return refuse("-o <output filename> is a required command line option.", wxICON_INFORMATION);

    int slash = output.Find('/', true);
    wxString folder = slash == wxNOT_FOUND ? wxString() : output.Left(slash + 1);
    wxString name = slash == wxNOT_FOUND ? output : output.Mid(slash + 1);
    wxString extension;
    int dot = name.Find('.', true);
    if (dot != wxNOT_FOUND) {
        extension = name.Mid(dot);
        name = name.Left(dot);
    }
    if (folder.empty())
        folder = wxGetCwd() + "/";
    CommandLineBatch batch;
    batch.outputPath = folder + name + extension;

    if (extension.IsSameAs(".adtg", false))
        batch.format = export_options::ADTG;
    else if (extension.IsSameAs(".csv", false) || extension.IsSameAs(".txt", false))
        batch.format = export_options::Delimited;
    else if (extension.IsSameAs(".xml", false))
        batch.format = export_options::XML;
    else
        return refuse("'" + batch.outputPath + "'.\n" + "File extension missing or invalid. Valid file extensions " +
                          "are .adtg, .csv, .txt, and .xml.",
                      wxICON_STOP);

    if (name.find_first_of("\\/:*?\"<>|") != wxString::npos)
        return refuse("'" + batch.outputPath + "'.\n" + "A filename cannot contain any of the following " +
                          "characters:\n\t\\ / :  * ? \" < > |",
                      wxICON_STOP);

    wxString folderMessage;
    if (!CreateDirectoryPath(folder, folderMessage))
        return refuse(folderMessage, wxICON_STOP);

    if (batch.format == export_options::Delimited) {
        // Without -d the fields are separated by commas, as in a save run from the window;
        // writing them side by side would fuse the columns.
        if (GetOption("d", batch.delimiter))
            batch.delimiter.Replace("\\t", "\t");
        else
            batch.delimiter = ",";
        // An empty -d would fuse them all the same ("1", "" and "1.5" would read "11.5").
        if (batch.delimiter.empty()) {
            request.kind = CommandLineRequest::Usage;
            return false;
        }
        if (!HasUniformChars(batch.delimiter))
            return refuse("The delimiter option cannot contain mixed characters.", wxICON_INFORMATION);
        // Quotes and line breaks are what delimited text is parsed by: a delimiter made of them
        // gives a file that no reader can take apart.
        if (batch.delimiter.find_first_of("\"\r\n") != wxString::npos)
            return refuse("The delimiter option cannot contain a double quote (\"), a carriage return or a line "
                          "feed.",
                          wxICON_INFORMATION);
    }

    wxString flag;
    if (GetOption("q", flag) && (IsTrueText(flag) || std::strtol(flag.utf8_str(), nullptr, 10) != 0)) {
        if (batch.format == export_options::XML)
            batch.publish = true;
        else if (batch.format == export_options::Delimited)
            batch.openInExcel = true;
    }

    request.files.push_back(input);
    request.execute = true;
    request.batch = batch;
    return true;
}
