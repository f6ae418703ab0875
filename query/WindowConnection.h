// The connection of a query window: what CConnectionInfo reads of it, and what the window itself
// learned while opening it. The quotes in force go on to whoever the window names (its schema
// pane). UI thread only.
#pragma once

#include "querycore/ConnectionInfo.h"

#include <functional>
#include <utility>

class CWindowConnection : public CConnectionInfo {
public:
    CWindowConnection(CSettingsStore& store, std::function<void()> onQuotesChanged)
        : CConnectionInfo(store), m_onQuotesChanged(std::move(onQuotesChanged))
    {
    }

    int m_nConnectionState = 0;
    // The provider accepts an asynchronous open: batches start as one and complete by event.
    int m_bAsyncSupported = 0;
    // The autocommit mode the settings asked for; the effective one is m_bAutoCommit.
    int m_bAutoCommitRequested = 0;

protected:
    void OnQuotesChanged() override
    {
        if (m_onQuotesChanged)
            m_onQuotesChanged();
    }

private:
    std::function<void()> m_onQuotesChanged;
};
