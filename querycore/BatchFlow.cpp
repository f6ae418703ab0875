#include "BatchFlow.h"

#include "ExportOptions.h"

bool ShouldRunNextBatch(bool failed, bool stopped, bool stopOnError, bool gridHeld)
{
    if (stopped || gridHeld)
        return false;
    return !failed || !stopOnError;
}

CRunEndTexts GetRunEndTexts(bool stopped, bool errors, bool gridCreated, bool outputEmpty)
{
    if (stopped)
        return {"Query batch canceled", "Query canceled by user."};
    if (errors)
        return {"Query batch completed with errors", wxString()};
    return {"Query batch completed",
            !gridCreated && outputEmpty ? wxString("The command(s) completed successfully.") : wxString()};
}

wxString GetRunStatusText(bool findInFiles)
{
    return findInFiles ? "Find in files in progress..." : "Executing query batch...";
}

wxString GetSaveRunStatusText(int format, const wxString& path, bool exportToExcel, bool publish)
{
    if (format == export_options::XML && publish)
        return "Executing query batch and publishing " + path + "...";
    if (format == export_options::Delimited && exportToExcel)
        return "Executing query batch and exporting " + path + "...";
    return "Executing query batch and saving " + path + "...";
}

wxString GetStartResultsPaneText(bool findInFiles, bool saveMode, bool textOutput)
{
    if (findInFiles)
        return "0 occurrence(s) have been found";
    if (saveMode)
        return "Number of result sets saved: 0";
    if (textOutput)
        return "Number of lines of text: 1";
    return "Results grid #0 of 0; 0 row(s); 0 col(s)";
}

CancelAction DecideCancel(bool executing, bool splitterRunning, bool cancelling)
{
    if (!executing || cancelling)
        return CancelAction::None;
    return splitterRunning ? CancelAction::StopAndCancel : CancelAction::Cancel;
}

bool MayChangeDatabase(bool tsql, bool mySql, const wxString& batch)
{
    return (tsql || mySql) && batch.Upper().Contains("USE");
}

long GetRowLimitMaxRecords(int maxRows, bool mySql)
{
    if (mySql)
        return 0;
    return maxRows <= 0 ? 1 : maxRows;
}
