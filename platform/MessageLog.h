// The library's own error and warning reports go through the program's message routine too, so
// that they reach standard error without a display and tests can answer them.
#pragma once

#include <wx/log.h>

class CMessageLog : public wxLogGui {
private:
    void DoShowSingleLogMessage(const wxString& message, const wxString& title, int style) override;
    void DoShowMultipleLogMessages(const wxArrayString& messages, const wxArrayInt& severities,
                                   const wxArrayLong& times, const wxString& title, int style) override;
};
