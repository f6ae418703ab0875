// The save options of a query window (its save block): where an Execute and Save As run writes
// its result sets and in which form, as the save dialog or the command line chose them. The
// count of result sets saved in the run lives in the run state, beside the output it is
// reported in.
#pragma once

#include "ExportOptions.h"

#include <string>

struct CSaveOptions {
    int format = export_options::XML; // an export_options::FileType
    std::string path;                 // UTF-8; the file of the run's first result set
    std::string delimiter = ",";      // delimited text only; may be empty
    bool exportToExcel = false;       // the delimited file goes to a spreadsheet afterwards
    bool publish = false;             // the XML files are published with a stylesheet afterwards
};
