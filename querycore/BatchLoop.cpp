#include "BatchLoop.h"

#include "BatchFlow.h"
#include "MessagesBuffer.h"
#include "PageFileUsage.h"

CBatchLoop::CBatchLoop(CQueryRunState& state, std::function<int()> pageFileUsage)
    : m_state(state), m_fnPageFileUsage(std::move(pageFileUsage))
{
}

bool CBatchLoop::QueueEmpty() const
{
    return !m_state.HasQueuedBatches();
}

std::optional<CQueuedBatch> CBatchLoop::Next(bool previousFailed, bool gridHeld)
{
    m_bHeldByGrid = false;
    const bool stopped = m_state.IsStopRequested();
    if (stopped || QueueEmpty())
        return std::nullopt;
    if (!ShouldRunNextBatch(previousFailed, stopped, m_bStopOnError, gridHeld)) {
        m_bHeldByGrid = gridHeld;
        return std::nullopt;
    }
    // The memory message comes only where a batch would have started.
    if (m_fnPageFileUsage() >= 99) {
        m_state.AppendOutput(m_bTextOutput, kPageFileUsageMessage);
        m_bMemoryShort = true;
        return std::nullopt;
    }
    return m_state.TakeBatch();
}
