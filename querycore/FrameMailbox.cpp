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

void CFrameMailbox::SetHandler(UINT message, Handler handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handlers[message] = std::move(handler);
}

bool CFrameMailbox::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_window)
        return false;
    // Queued under the lock, so Close cannot let the window go between the test and the queueing.
    m_window->CallAfter([self = shared_from_this(), message, wParam, lParam] {
        self->Deliver(message, wParam, lParam);
    });
    return true;
}

LRESULT CFrameMailbox::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (wxIsMainThread())
        return Deliver(message, wParam, lParam);

    auto pending = std::make_shared<PendingSend>();
    std::future<LRESULT> answer = pending->answer.get_future();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_window)
            return -1;
        m_pending.insert(pending);
        m_window->CallAfter([self = shared_from_this(), pending, message, wParam, lParam] {
            const LRESULT result = self->Deliver(message, wParam, lParam);
            std::lock_guard<std::mutex> lock(self->m_mutex);
            // Close may have answered it already.
            if (self->m_pending.erase(pending))
                pending->answer.set_value(result);
        });
    }
    return answer.get();
}

LRESULT CFrameMailbox::Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    Handler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_window)
            return -1;
        auto it = m_handlers.find(message);
        if (it == m_handlers.end())
            return -1;
        handler = it->second;
    }
    return handler(wParam, lParam);
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
