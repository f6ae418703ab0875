#include "MessagesBuffer.h"

#include "QueryRunState.h"

void AppendOutputText(wxString& buffer, const wxString& text)
{
    AppendOutputText(buffer, text, !buffer.empty());
}

void AppendOutputText(wxString& buffer, const wxString& text, bool written)
{
    if (written)
        buffer += "\n\n";
    buffer += text;
}

wxString FormatErrorTag(int number, const wxString& text)
{
    wxString message = text;
    message.Trim(true).Trim(false);
    if (message.empty())
        message = "Errors occurred.";
    wxString tag = wxString::Format("<eb%d>", number) + message + wxString::Format("</eb%d>", number);
    tag.Replace("\n", "\r");
    tag.Replace("\r\r", "\r");
    return tag;
}

wxString CErrorTagList::Add(const wxString& text, long batchStart)
{
    ++m_nErrorTagCount;
    wxString tag = FormatErrorTag(m_nErrorTagCount, text);
    m_entries.push_back({tag, batchStart});
    return tag;
}

void CErrorTagList::Reset()
{
    m_nErrorTagCount = 0;
    m_entries.clear();
    m_nCurrent = -1;
}

namespace {

void AppendToRun(CQueryRunState& state, bool textOutput, const wxString& text)
{
    if (textOutput)
        AppendOutputText(state.m_strTextOutput, text, state.IsTextOutputWritten());
    else
        AppendOutputText(state.m_strMessages, text);
}

} // namespace

void AppendRunOutput(CQueryRunState& state, bool textOutput, const wxString& text)
{
    std::lock_guard<std::mutex> lock(state.m_csOutput);
    AppendToRun(state, textOutput, text);
}

void AppendRunError(CQueryRunState& state, bool textOutput, const wxString& text, long batchStart)
{
    std::lock_guard<std::mutex> lock(state.m_csOutput);
    AppendToRun(state, textOutput, state.m_errorList.Add(text, batchStart));
}
