#include "DriverInfoReport.h"

#include "querycore/ReportFile.h"

namespace ferrow {

const std::array<const char*, 8>& DriverInfoPages::Captions()
{
    static const std::array<const char*, 8> captions{"Driver Information", "Functions", "Supported SQL", "Data Types",
                                                     "Identifiers",        "Limits",    "Misc. 1",       "Misc. 2"};
    return captions;
}

std::array<InfoPageModel*, 8> DriverInfoPages::InPageOrder()
{
    return {&driverInfo, &functions, &supportedSql, &dataTypes, &identifiers, &limits, &misc1, &misc2};
}

void DriverInfoPages::FetchInfo(InfoSource& source)
{
    for (InfoPageModel* page : InPageOrder())
        page->FetchInfo(source);
}

std::string FormatDriverInfoReport(DriverInfoPages& pages, InfoSource& source, bool cursorLibrary)
{
    std::string text = cursorLibrary ? "Cursor Library is Loaded\n\n" : "Cursor Library is Not Loaded\n\n";
    for (InfoPageModel* page : pages.InPageOrder())
        page->WriteReport(source, text);
    return text;
}

std::string DefaultReportName(const std::string& driverName)
{
    std::string name = driverName;
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

void WriteDriverInfoReport(const wxString& path, const std::string& text)
{
    WriteTextReport(path, text);
}

} // namespace ferrow
