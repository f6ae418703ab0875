// The way worker threads reach their query window: the private window messages. A posted
// message becomes a call queued to the window's event handler; a sent message waits for the
// window's answer. Once the window closes the mailbox, posted messages are dropped and every
// sent message, waiting or future, is answered -1, so no worker waits on a window that is gone
// and nothing is ever queued to a destroyed window.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>

class wxEvtHandler;

typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

// The private messages of a query window.
enum : UINT {
    WM_BATCHSPLITDONE = 0x1401,
    WM_GRIDBATCHDONE = 0x1402,
    WM_TEXTBATCHDONE = 0x1403,
    WM_SAVEBATCHDONE = 0x1404,
    WM_CANCELDONE = 0x1405,
    WM_CREATERESULTGRID = 0x1406,
    WM_SETGRIDROWS = 0x1407,
    WM_SETGRIDREDRAW = 0x1408,
    WM_EXECUTEBATCH = 0x1409,
};

class CFrameMailbox : public std::enable_shared_from_this<CFrameMailbox> {
public:
    typedef std::function<LRESULT(WPARAM, LPARAM)> Handler;

    static std::shared_ptr<CFrameMailbox> Create(wxEvtHandler* window);

    // UI thread: the handler of a message (the window's message map entry).
    void SetHandler(UINT message, Handler handler);

    // Any thread: queues the message; false when the mailbox is closed.
    bool PostMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Any thread: the handler's result, -1 when the mailbox is closed, closes while waiting, or
    // has no handler for the message. On the UI thread the handler runs at once.
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // UI thread, before the window goes: drops what is queued and answers the waiting senders.
    void Close();
    bool IsClosed() const;

private:
    struct PendingSend;
    explicit CFrameMailbox(wxEvtHandler* window) : m_window(window) {}
    // UI thread: runs the handler of a delivered message unless the mailbox closed meanwhile.
    LRESULT Deliver(UINT message, WPARAM wParam, LPARAM lParam);

    mutable std::mutex m_mutex;
    wxEvtHandler* m_window; // null once closed
    std::map<UINT, Handler> m_handlers;
    std::set<std::shared_ptr<PendingSend>> m_pending;
};
