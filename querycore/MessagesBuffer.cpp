#include "MessagesBuffer.h"

void AppendOutputText(wxString& buffer, const wxString& text)
{
    if (!buffer.empty())
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

const CErrorTagEntry* CErrorTagList::MoveNext()
{
    if (m_entries.empty())
        return nullptr;
    m_nCurrent = m_nCurrent < 0 ? 0 : m_nCurrent + 1;
    if (m_nCurrent >= static_cast<int>(m_entries.size()))
        m_nCurrent = 0;
    return &m_entries[m_nCurrent];
}

const CErrorTagEntry* CErrorTagList::MovePrevious()
{
    if (m_entries.empty())
        return nullptr;
    const int last = static_cast<int>(m_entries.size()) - 1;
    m_nCurrent = m_nCurrent <= 0 || m_nCurrent > last + 1 ? last : m_nCurrent - 1;
    return &m_entries[m_nCurrent];
}

long CErrorTagList::Find(const wxString& tag)
{
    for (m_nCurrent = 0; m_nCurrent < static_cast<int>(m_entries.size()); ++m_nCurrent)
        if (m_entries[m_nCurrent].tag == tag)
            return m_entries[m_nCurrent].batchStart;
    return -1;
}
