#include "MessageLog.h"

#include "MessageBox.h"

void CMessageLog::DoShowSingleLogMessage(const wxString& message, const wxString&, int style)
{
    TVMessageBox(message, wxOK | (style & wxICON_MASK));
}

void CMessageLog::DoShowMultipleLogMessages(const wxArrayString& messages, const wxArrayInt&, const wxArrayLong&,
                                            const wxString&, int style)
{
    wxString text;
    for (const wxString& message : messages)
        text += (text.empty() ? "" : "\n") + message;
    TVMessageBox(text, wxOK | (style & wxICON_MASK));
}
