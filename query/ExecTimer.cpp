#include "ExecTimer.h"

#include "ChildFrame.h"
#include "querycore/ExecTimeText.h"

#include <wx/statusbr.h>

#include <vector>

CExecTimer::CExecTimer(CChildFrame& frame, std::function<void()> onTick) : m_frame(frame), m_onTick(std::move(onTick))
{
}

void CExecTimer::StartExecTimer()
{
    m_frame.RunView().m_dwStartTicks = std::chrono::steady_clock::now();
    Start(1000);
    m_frame.RunView().m_nTimerId = kTimerId;
    m_frame.RunView().m_strMilliseconds = ".000";
    FormatExecTime(m_frame.Connection().m_bMsAccuracy ? "Exec time: 00:00:00.000" : "Exec time: 00:00:00");
}

void CExecTimer::KillExecTimer()
{
    Stop();
    m_frame.RunView().m_nTimerId = 0;
}

void CExecTimer::FormatExecTime()
{
    const auto elapsed = std::chrono::steady_clock::now() - m_frame.RunView().m_dwStartTicks;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    const ExecTimeText text = ::FormatExecTime(static_cast<uint64_t>(std::max<int64_t>(ms, 0)), m_frame.Connection().m_bMsAccuracy);
    if (m_frame.Connection().m_bMsAccuracy)
        m_frame.RunView().m_strMilliseconds = wxString::FromUTF8(text.milliseconds);
    m_frame.RunView().m_strExecTime = wxString::FromUTF8(text.text);
    ShowInPane();
}

void CExecTimer::FormatExecTime(const wxString& text)
{
    m_frame.RunView().m_strExecTime = text;
    ShowInPane();
}

void CExecTimer::ShowInPane()
{
    if (wxStatusBar* bar = m_frame.GetQueryStatusBar())
        bar->SetStatusText(m_frame.RunView().m_strExecTime, kElapsedTimePane);
}

void CExecTimer::SetExecTimeAccuracy(bool on)
{
    m_frame.Connection().m_bMsAccuracy = on;
    if (wxStatusBar* bar = m_frame.GetQueryStatusBar()) {
        std::vector<int> widths(static_cast<size_t>(bar->GetFieldsCount()));
        for (size_t i = 0; i < widths.size(); ++i)
            widths[i] = bar->GetStatusWidth(static_cast<int>(i));
        if (widths.size() > kElapsedTimePane) {
            widths[kElapsedTimePane] =
                bar->GetTextExtent(on ? "Exec time: 88:88:88.888" : "Exec time: 88:88:88").GetWidth() + 12;
            bar->SetStatusWidths(static_cast<int>(widths.size()), widths.data());
        }
    }
    if (IsRunning()) {
        FormatExecTime();
        return;
    }
    FormatExecTime(wxString::FromUTF8(ChangeExecTimeAccuracy(m_frame.RunView().m_strExecTime.utf8_string(), on,
                                                             m_frame.RunView().m_strMilliseconds.utf8_string())));
}

void CExecTimer::Notify()
{
    if (m_onTick)
        m_onTick();
}
