// A run state whose window has closed: the workers' messages to it are dropped, so tests drive
// the workers without a window.
#pragma once

#include "querycore/FrameMailbox.h"
#include "querycore/QueryRunState.h"

#include <wx/event.h>

#include <memory>

namespace torvane::test {

inline std::shared_ptr<CQueryRunState> DetachedRunState()
{
    static wxEvtHandler window;
    auto mailbox = CFrameMailbox::Create(&window);
    mailbox->Close();
    auto state = std::make_shared<CQueryRunState>(mailbox);
    state->BeginRun(nullptr);
    return state;
}

} // namespace torvane::test
