// The Results in Text worker: runs one batch (or reads what its asynchronous open returned) and
// writes every result into the window's text output: the row count of a statement, or the
// first field of a result set with its name, a dash line and the values one after another.
// Errors become error tags in the same text, so output and errors stay in order.
#pragma once

#include "ExecutionBlock.h"

#include <memory>

// The batch's work; returns the error flag of the batch (1 when an error was reported).
int RunTextBatch(CExecutionBlock& block);

// The thread procedure: RunTextBatch, then WM_TEXTBATCHDONE with the error flag.
void ExecuteToTextThreadProc(std::shared_ptr<CExecutionBlock> block);
