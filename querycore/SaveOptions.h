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
    // The title the published stylesheet shows: the query document's title, set when the run
    // starts.
    std::string publishTitle;
};

// The files of a run that its export step uses, kept by the run state. Cleared when a run's
// save options are set.
struct CExportStepFiles {
    std::string excelFile;       // the last delimited file written in the run
    long columnCount = -1;       // its field count; -1 when none
    std::string publishFile;     // the last XML file that received the stylesheet link
    std::string stylesheetFile;  // the stylesheet copied beside the run's first XML file
    // Left by the step for the window: the file to open and the line to report once it opened.
    std::string openFile;
    std::string openedText;
};

