// The way worker threads reach their query window: the private window messages of
// FrameMessages.h. A posted message becomes a call queued to the window's event handler; a sent
// message waits for the window's answer. Once the window closes the mailbox, posted messages
// are dropped and every sent message, waiting or future, is answered -1, so no worker waits on
// a window that is gone and nothing is ever queued to a destroyed window.
//
// Each message is a payload struct with its id (kId); a handler receives the payload it was
// registered for and nothing else.
#pragma once

#include "FrameMessages.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class wxEvtHandler;

class CFrameMailbox : public std::enable_shared_from_this<CFrameMailbox> {
public:
    static std::shared_ptr<CFrameMailbox> Create(wxEvtHandler* window);

    // UI thread: the handler of a message (the window's message map entry).
    template <class Message>
    void SetHandler(std::function<LRESULT(const Message&)> handler)
    {
        SetRawHandler(Message::kId, [handler = std::move(handler)](const void* payload) {
            return handler(*static_cast<const Message*>(payload));
        });
    }

    // Any thread: queues the message; false when the mailbox is closed.
    template <class Message>
    bool Post(const Message& message)
    {
        auto payload = std::make_shared<const Message>(message);
        return PostRaw(Message::kId, payload, payload.get());
    }

    // Any thread: the handler's result, -1 when the mailbox is closed, closes while waiting, or
    // has no handler for the message. On the UI thread the handler runs at once.
    template <class Message>
    LRESULT Send(const Message& message)
    {
        auto payload = std::make_shared<const Message>(message);
        return SendRaw(Message::kId, payload, payload.get());
    }

    // UI thread, before the window goes: drops what is queued and answers the waiting senders.
    void Close();
    bool IsClosed() const;

private:
    typedef std::function<LRESULT(const void*)> RawHandler;
    struct PendingSend;
    explicit CFrameMailbox(wxEvtHandler* window) : m_window(window) {}

    void SetRawHandler(UINT id, RawHandler handler);
    // The owner keeps the payload alive while the call is queued.
    bool PostRaw(UINT id, std::shared_ptr<const void> owner, const void* payload);
    LRESULT SendRaw(UINT id, std::shared_ptr<const void> owner, const void* payload);
    // UI thread: runs the handler of a delivered message unless the mailbox closed meanwhile.
    LRESULT Deliver(UINT id, const void* payload);

    mutable std::mutex m_mutex;
    wxEvtHandler* m_window; // null once closed
    std::map<UINT, RawHandler> m_handlers;
    std::set<std::shared_ptr<PendingSend>> m_pending;
};
