// Texts of errors: the data layer's Errors collection, COM errors and the system's last error.
#pragma once

#include "ado/Ado.h"
#include "platform/com/ComTypes.h"

#include <wx/string.h>

// The collection's errors with a description, each as "%s\nState: %s, Native: %d, Source: %s"
// (or the description alone), separated by blank lines. Empty for a null connection.
// Throws _com_error when the collection cannot be read.
void FormatAdoErrors(const ado::Connection* connection, bool descriptionsOnly, wxString& text);
void FormatAdoErrors(const ado::Errors& errors, bool descriptionsOnly, wxString& text);
wxString GetProviderErrorsText(const ado::Connection* connection, bool descriptionsOnly = false);

// "HRESULT: 0x%08lx; Error: %s", plus "\nSource: %s; Description: %s" when the error carries
// error information.
void FormatComError(const _com_error& error, wxString& text);
wxString GetComErrorText(const _com_error& error);

// The text of a call on a connection that failed with error: the provider's errors (as
// GetProviderErrorsText gives them), or the COM error's text when there are none or the
// collection cannot be read. Never throws.
wxString GetConnectionErrorText(const ado::Connection* connection, const _com_error& error);

// The HRESULT that stands for a system error number (errno), in the 0x8007xxxx range.
HRESULT HResultFromErrno(int error);

// The COM error text of a system error number: "HRESULT: 0x8007xxxx; Error: " + the system's
// message for it.
wxString FormatErrnoAsComError(int error);

// The calling thread's last system error (errno) as the system's message for it; empty when
// there is none, "Errors occurred." when no text can be formed.
wxString GetLastErrorText();
