// The export/publish step that ends an Execute and Save As run: the last delimited file of the
// run becomes a workbook (WorkbookExport.h), or the last published XML file is rendered to an
// HTML page (XmlPublishing.h); what it made is then opened with the desktop's default
// application. The save worker leaves the run's files in the run state's export step; the
// window starts this step on its own thread after the last batch, the command line without a
// display runs it in line and opens nothing.
//
// Thread: the step runs on the export/publish thread. Opening a program is the window's (UI
// thread) business: the step leaves the file to open and the success line in the export step,
// and the window opens it when WM_SAVEBATCHDONE arrives (OpenExportResult).
#pragma once

#include "SaveOptions.h"

#include <memory>
#include <string>

class CQueryRunState;

struct CExportBlock {
    std::shared_ptr<CQueryRunState> state;
    CSaveOptions options;
    // False without a display: nothing is opened, and the success line is reported at once.
    bool open = true;
};

// True when the save run's last batch leaves the export step something to do: an XML run with
// publishing and a published file, or a delimited run with the workbook step and a file.
bool ExportStepWanted(const CSaveOptions& options, const CExportStepFiles& files);

// The step's work; returns the error flag (1 when an error was reported to the text output).
int RunExportStep(CExportBlock& block);

// The thread procedure: RunExportStep, then WM_SAVEBATCHDONE with the error flag.
void ExportResultsThreadProc(std::shared_ptr<CExportBlock> block);

// UI thread, on WM_SAVEBATCHDONE: opens the file the step left, if any, and reports the success
// line, or the launcher's error text as a run error (then returns 1). Returns 0 otherwise.
int OpenExportResult(CQueryRunState& state);
