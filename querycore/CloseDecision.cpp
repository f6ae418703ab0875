#include "CloseDecision.h"

CloseStep DecideClose(const CCloseState& state)
{
    if (state.executing && !state.cancelling)
        return CloseStep::AskCancelQuery;
    if (state.findInFiles && !state.stopped)
        return CloseStep::AskStopSearch;
    if (state.cancelling && (!state.stopped || state.executing))
        return CloseStep::StayOpen;
    // A window is never destroyed under its own message loop.
    if (state.nestedLoop)
        return CloseStep::Defer;
    if (state.cancelling)
        return CloseStep::CloseRecordset;
    return CloseStep::Close;
}
