// The execution block: what a query window hands the worker of one batch. The worker reaches
// the window only through the run state (flags, locked buffers, private messages), so it may
// outlive the window.
#pragma once

#include "ado/Ado.h"
#include "QueryRunState.h"

#include <memory>
#include <string>

// What a batch runs as: the batch's text, or a schema rowset the window lists instead (the
// keyword or the literal list, which come as one result set).
inline constexpr int kQueryKindBatch = -1;
inline bool IsSchemaListKind(int queryKind)
{
    return queryKind == ado::adSchemaDBInfoKeywords || queryKind == ado::adSchemaDBInfoLiterals;
}

struct CExecutionBlock {
    std::shared_ptr<CQueryRunState> state;
    ado::RecordsetPtr recordset;   // the window's recordset (open when the batch ran asynchronously)
    ado::ConnectionPtr connection;
    _variant_t recordsAffected = _variant_t(static_cast<int32_t>(-1)); // VT_I4; -1 when not given
    std::string batch;             // the batch's text, trimmed, lines ending in LF
    int queryKind = kQueryKindBatch; // or a schema list kind: that schema rowset instead
    long batchStart = 0;           // editor character position where the batch begins
    // The worker runs the batch itself (Connection.Execute or OpenSchema) instead of reading the
    // recordset that an asynchronous open filled.
    bool workerExecutes = true;
    bool multipleResults = true;   // the connection returns more than one result per command
    bool textOutput = false;       // output goes to the text buffer (text and save mode)
};

// The worker's first step: unless the run is stopped or the batch was opened asynchronously,
// runs the batch (or the schema rowset queryKind names) on the block's connection; rs takes the
// first result and recordsAffected its count. Errors are thrown.
void OpenBatchResult(const CExecutionBlock& block, ado::RecordsetPtr& rs, _variant_t& recordsAffected);

// The worker's last step: closes the result it reached and the window's recordset. Errors are
// ignored, since the batch's outcome is already decided.
void CloseBatchRecordsets(const CExecutionBlock& block, const ado::RecordsetPtr& rs);

// Whether a batch is opened asynchronously on the window's recordset, or run by its worker.
inline bool RunsAsynchronously(bool asyncSupported, int queryKind)
{
    return asyncSupported && queryKind == kQueryKindBatch;
}
