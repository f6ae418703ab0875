// The save worker of an Execute and Save As run: runs one batch (or reads what its asynchronous
// open returned) and writes every row-returning result set to a file instead of showing it, as
// ADTG or XML (the formats of Recordset.Save) or as delimited text. The first result set of the run goes
// to the chosen file, every later one to "<name>_<unique name>.<extension>" beside it. Row
// counts, "Saved %s successfully." lines and errors go to the window's text output, in order.
#pragma once

#include "ExecutionBlock.h"
#include "SaveOptions.h"

#include <atomic>
#include <memory>
#include <string>

// The save block: the execution block with the window's save options.
struct CSaveBlock : CExecutionBlock {
    CSaveOptions options;
};

// The batch's work; returns the error flag of the batch (1 when an error was reported).
int RunSaveBatch(CSaveBlock& block);

// The thread procedure: RunSaveBatch, then WM_SAVEBATCHDONE with the error flag and -1.
void ExecuteAndSaveThreadProc(std::shared_ptr<CSaveBlock> block);

// Writes the current result set and every one after it (while the connection returns more
// than one result per command). recordset moves on to the last result reached and
// recordsAffected takes its count. Errors are thrown (the worker reports them); a file of a
// failed or stopped save is never left behind, and an existing file at a target is replaced
// only by a complete one.
void SaveResultSets(CSaveBlock& block, ado::RecordsetPtr& recordset, _variant_t& recordsAffected);

// One result set in the persistence format of Recordset.Save, XML or ADTG, into a file that
// replaces path once complete (ReplacingFile); false (and no file) when stop was set meanwhile.
// Throws _com_error for the rows and values and std::filesystem::filesystem_error for the file.
bool SaveRecordset(ado::Recordset& recordset, const std::string& path, bool xml, const std::atomic<int>& stop);

// The text of an error that ended a save batch: for the data layer's own errors (a file that
// cannot be written, a value the format cannot hold) their COM error text, for the provider's
// errors the connection's Errors, for file errors "'<file>'.\n" and the cause.
wxString GetSaveErrorText(const ado::Connection* connection, const std::exception_ptr& error);
