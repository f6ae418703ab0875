#include "ExecutionBlock.h"

namespace {

void CloseQuietly(const ado::RecordsetPtr& rs)
{
    try {
        if (rs && rs->GetState() != ado::adStateClosed)
            rs->Close();
    } catch (const _com_error&) {
        // The batch's outcome is already decided; a recordset that will not close goes with its statement.
    }
}

} // namespace

void OpenBatchResult(const CExecutionBlock& block, ado::RecordsetPtr& rs, _variant_t& recordsAffected)
{
    if (block.state->IsStopRequested() || !block.workerExecutes)
        return;
    if (IsSchemaListKind(block.queryKind))
        rs = block.connection->OpenSchema(static_cast<ado::SchemaEnum>(block.queryKind));
    else
        rs = block.connection->Execute(block.batch, &recordsAffected, ado::adCmdText);
}

void CloseBatchRecordsets(const CExecutionBlock& block, const ado::RecordsetPtr& rs)
{
    CloseQuietly(rs);
    if (rs != block.recordset)
        CloseQuietly(block.recordset);
}
