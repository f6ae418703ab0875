#include "ExecTimer.h"

#include "querycore/ExecTimeText.h"
#include "querycore/QueryWindowSettings.h"
#include "RunViewState.h"

#include <wx/statusbr.h>

#include <vector>

CExecTimer::CExecTimer(CRunViewState& view, CQueryWindowSettings& settings, wxStatusBar* bar,
                       std::function<void()> onTick)
    : m_view(view), m_settings(settings), m_pBar(bar), m_onTick(std::move(onTick))
{
}

void CExecTimer::StartExecTimer()
{
    m_view.m_dwStartTicks = std::chrono::steady_clock::now();
    Start(1000);
    m_view.m_nTimerId = kTimerId;
    m_view.m_strMilliseconds = ".000";
    FormatExecTime(m_settings.m_bMsAccuracy ? "Exec time: 00:00:00.000" : "Exec time: 00:00:00");
}

void CExecTimer::KillExecTimer()
{
    Stop();
    m_view.m_nTimerId = 0;
}

void CExecTimer::FormatExecTime()
{
    const auto elapsed = std::chrono::steady_clock::now() - m_view.m_dwStartTicks;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    const ExecTimeText text =
        ::FormatExecTime(static_cast<uint64_t>(std::max<int64_t>(ms, 0)), m_settings.m_bMsAccuracy);
    if (m_settings.m_bMsAccuracy)
        m_view.m_strMilliseconds = wxString::FromUTF8(text.milliseconds);
    m_view.m_strExecTime = wxString::FromUTF8(text.text);
    ShowInPane();
}

void CExecTimer::FormatExecTime(const wxString& text)
{
    m_view.m_strExecTime = text;
    ShowInPane();
}

void CExecTimer::ShowInPane()
{
    if (wxStatusBar* bar = m_pBar)
        bar->SetStatusText(m_view.m_strExecTime, kElapsedTimePane);
}

void CExecTimer::SetExecTimeAccuracy(bool on)
{
    m_settings.m_bMsAccuracy = on;
    if (wxStatusBar* bar = m_pBar) {
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
    FormatExecTime(wxString::FromUTF8(ChangeExecTimeAccuracy(m_view.m_strExecTime.utf8_string(), on,
                                                             m_view.m_strMilliseconds.utf8_string())));
}

void CExecTimer::Notify()
{
    if (m_onTick)
        m_onTick();
}
