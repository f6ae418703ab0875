#include "FrameMailbox.h"

#include <wx/event.h>
#include <wx/thread.h>

#include <future>

struct CFrameMailbox::PendingSend {
    std::promise<LRESULT> answer;
};

std::shared_ptr<CFrameMailbox> CFrameMailbox::Create(wxEvtHandler* window)
{
    return std::shared_ptr<CFrameMailbox>(new CFrameMailbox(window));
}

void CFrameMailbox::SetRawHandler(UINT id, RawHandler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handlers[id] = std::move(handler);
}

bool CFrameMailbox::PostRaw(UINT id, std::shared_ptr<const void> owner, const void* payload)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_window)
        return false;
    // Queued under the lock, so Close cannot let the window go between the test and the queueing.
    m_window->CallAfter([self = shared_from_this(), id, owner = std::move(owner), payload] {
        self->Deliver(id, payload);
    });
    return true;
}

LRESULT CFrameMailbox::SendRaw(UINT id, std::shared_ptr<const void> owner, const void* payload)
{
    if (wxIsMainThread())
        return Deliver(id, payload);

    auto pending = std::make_shared<PendingSend>();
    std::future<LRESULT> answer = pending->answer.get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_window)
            return -1;
        m_pending.insert(pending);
        m_window->CallAfter([self = shared_from_this(), pending, id, owner = std::move(owner), payload] {
            const LRESULT result = self->Deliver(id, payload);
            std::lock_guard<std::mutex> lock(self->m_mutex);
            // Close may have answered it already.
            if (self->m_pending.erase(pending))
                pending->answer.set_value(result);
        });
    }
    return answer.get();
}

LRESULT CFrameMailbox::Deliver(UINT id, const void* payload)
{
    RawHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_window)
            return -1;
        auto it = m_handlers.find(id);
        if (it == m_handlers.end())
            return -1;
        handler = it->second;
    }
    return handler(payload);
}

void CFrameMailbox::Close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_window = nullptr;
    m_handlers.clear();
    for (const auto& pending : m_pending)
        pending->answer.set_value(-1);
    m_pending.clear();
}

bool CFrameMailbox::IsClosed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_window == nullptr;
}
