#include "ConnectionEventsSink.h"

#include "common/ErrorText.h"
#include "MessagesBuffer.h"

void CConnectionEventsSink::InfoMessage(ado::Error*, ado::EventStatusEnum*, ado::Connection* pConnection)
{
    if (!m_state->IsExecuting())
        return;
    wxString text;
    try {
        FormatAdoErrors(pConnection, true, text);
    } catch (const _com_error&) {
        // Messages the provider cannot hand over are not there to show.
        return;
    }
    if (!text.empty())
        m_state->AppendOutput(m_bTextOutput, text);
}

void CConnectionEventsSink::ExecuteComplete(long recordsAffected, ado::Error* pError, ado::EventStatusEnum* adStatus,
                                            ado::Recordset* pRecordset, ado::Connection* pConnection)
{
    Completion completion;
    completion.recordsAffected = recordsAffected;
    completion.failed = pError || (adStatus && *adStatus == ado::adStatusErrorsOccurred);
    if (completion.failed) {
        // Read now, on the thread that failed: later calls on the connection replace its errors.
        try {
            FormatAdoErrors(pConnection, false, completion.errorText);
        } catch (const _com_error&) {
            // The error's own description below stands in for the unreadable collection.
        }
        if (completion.errorText.empty() && pError) {
            completion.errorText = wxString::FromUTF8(pError->GetDescription());
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!pRecordset || pRecordset != m_pWatched)
            return;
        completion.number = ++m_nCompleted;
        m_completions.push_back(std::move(completion));
    }
    m_state->Mailbox().Post(CExecuteComplete{});
}

void CConnectionEventsSink::ExpectCompletion(const ado::Recordset* recordset)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pWatched = recordset;
    m_nCompleted = 0;
    m_completions.clear();
}

std::vector<CConnectionEventsSink::Completion> CConnectionEventsSink::TakeCompletions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Completion> taken(std::make_move_iterator(m_completions.begin()),
                                  std::make_move_iterator(m_completions.end()));
    m_completions.clear();
    return taken;
}
