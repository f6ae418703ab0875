// The decisions of a run's control path that need no window: whether the next batch runs, how
// a run ends and with which texts, what a Cancel does, and the texts a run starts with.
#pragma once

#include <wx/string.h>

// Whether the batch taken after a finished one starts: not after a stop, not while the grid
// worker holds the run, and after a failure only when the run goes on past errors.
bool ShouldRunNextBatch(bool failed, bool stopped, bool stopOnError, bool gridHeld);

struct CRunEndTexts {
    wxString statusText; // status pane 0
    wxString outputText; // added to the output buffer of the mode; empty when nothing is added
};

// The end of a run. A stopped run is cancelled whatever failed in it; a run without errors that
// made no grid and wrote nothing says that its commands completed.
CRunEndTexts GetRunEndTexts(bool stopped, bool errors, bool gridCreated, bool outputEmpty);

// Status pane 0 while a run (or a Find in Files search) goes.
wxString GetRunStatusText(bool findInFiles);
// Status pane 0 while an Execute and Save As run goes: publishing (XML with the publish flag),
// exporting (delimited text with the spreadsheet flag), else saving, with the chosen path.
wxString GetSaveRunStatusText(int format, const wxString& path, bool exportToExcel, bool publish);
// The result-set pane at the start of a run.
wxString GetStartResultsPaneText(bool findInFiles, bool saveMode, bool textOutput);

enum class CancelAction {
    None,           // nothing runs, or a cancel is already in progress
    Cancel,         // the cancel thread interrupts the running statement
    StopAndCancel,  // the splitter still runs: it stops, and the running statement is cancelled too
};
CancelAction DecideCancel(bool executing, bool splitterRunning, bool cancelling);

// A batch whose text holds "USE" (in any letter case) may have changed the current database of
// a server whose database list the window keeps.
bool MayChangeDatabase(bool tsql, bool mySql, const wxString& batch);

// MaxRecords for a run limited to maxRows: 0 counts as 1; MySQL's driver is given no limit.
long GetRowLimitMaxRecords(int maxRows, bool mySql);
