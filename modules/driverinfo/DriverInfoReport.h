// The eight page models of the driver information sheet in page order, and the sheet's text
// report built from them. No window: the sheet renders these, and tests drive them over real
// connections.
//
// Errors: FetchInfo and FormatDriverInfoReport throw DriverError when the driver fails the
// type information; WriteDriverInfoReport throws CFileException naming the file for any
// failure to write it, and then leaves an earlier file of that name as it was.
#pragma once

#include "DataTypesModel.h"
#include "DriverInfoModel.h"
#include "FunctionsModel.h"
#include "IdentifiersModel.h"
#include "LimitsModel.h"
#include "MiscModels.h"
#include "SupportedSqlModel.h"

#include <wx/string.h>

#include <array>

namespace ferrow {

struct DriverInfoPages {
    DriverInfoModel driverInfo;
    FunctionsModel functions;
    SupportedSqlModel supportedSql;
    DataTypesModel dataTypes;
    IdentifiersModel identifiers;
    LimitsModel limits;
    Misc1Model misc1;
    Misc2Model misc2;

    // The page captions, in page order.
    static const std::array<const char*, 8>& Captions();
    std::array<InfoPageModel*, 8> InPageOrder();
    // Every page reads its answers.
    void FetchInfo(InfoSource& source);
};

// "Cursor Library is Loaded" or "... is Not Loaded", an empty line, then every page's section.
std::string FormatDriverInfoReport(DriverInfoPages& pages, InfoSource& source, bool cursorLibrary);

// The file name the save dialog proposes for a driver: the base name of its driver file up to
// the first '.', without anything that would make it a path.
std::string DefaultReportName(const std::string& driverName);

// Writes text to path with CR LF line ends; an existing file is replaced only by the whole
// report.
void WriteDriverInfoReport(const wxString& path, const std::string& text);

} // namespace ferrow
