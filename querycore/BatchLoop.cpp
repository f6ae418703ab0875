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
    std::lock_guard<std::mutex> lock(m_state.m_csOutput);
    return m_state.m_batchQueue.empty();
}

std::optional<CQueuedBatch> CBatchLoop::Next(bool previousFailed, bool gridHeld)
{
    m_bHeldByGrid = false;
    const bool stopped = m_state.m_bStop != 0;
    if (stopped || QueueEmpty())
        return std::nullopt;
    if (!ShouldRunNextBatch(previousFailed, stopped, m_bStopOnError, gridHeld)) {
        m_bHeldByGrid = gridHeld;
        return std::nullopt;
    }
    // The memory message comes only where a batch would have started.
    if (m_fnPageFileUsage() >= 99) {
        AppendRunOutput(m_state, m_bTextOutput, kPageFileUsageMessage);
        m_bMemoryShort = true;
        return std::nullopt;
    }
    std::lock_guard<std::mutex> lock(m_state.m_csOutput);
    auto& queue = m_state.m_batchQueue;
    if (queue.empty())
        return std::nullopt;
    CQueuedBatch batch = std::move(queue.front());
    queue.pop_front();
    return batch;
}
