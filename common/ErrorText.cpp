#include "ErrorText.h"

#include <cerrno>
#include <cstring>

namespace {

wxString Trimmed(wxString s)
{
    s.Trim(true).Trim(false);
    return s;
}

wxString FormatHResult(HRESULT hr, const wxString& message)
{
    return wxString::Format("HRESULT: 0x%08lx; Error: ", static_cast<unsigned long>(static_cast<uint32_t>(hr))) + message;
}

wxString SystemMessage(int error)
{
    char buffer[256];
    // The GNU strerror_r returns the message, which may or may not be in the buffer.
    const char* message = strerror_r(error, buffer, sizeof buffer);
    return message ? wxString(message) : wxString();
}

} // namespace

void FormatAdoErrors(const ado::Errors& errors, bool descriptionsOnly, wxString& text)
{
    text.clear();
    const long count = errors.GetCount();
    for (long i = 0; i < count; ++i) {
        ado::ErrorPtr error = errors.GetItem(i);
        wxString description = Trimmed(wxString::FromUTF8(error->GetDescription()));
        if (description.empty())
            continue;
        if (descriptionsOnly)
            text << description;
        else
            text << description << "\nState: " << wxString::FromUTF8(error->GetSQLState())
                 << wxString::Format(", Native: %ld, Source: ", error->GetNativeError())
                 << wxString::FromUTF8(error->GetSource());
        text << "\n\n";
    }
    text = Trimmed(text);
}

void FormatAdoErrors(const ado::Connection* connection, bool descriptionsOnly, wxString& text)
{
    text.clear();
    if (!connection)
        return;
    ado::ErrorsPtr errors = connection->GetErrors();
    if (errors)
        FormatAdoErrors(*errors, descriptionsOnly, text);
}

wxString GetProviderErrorsText(const ado::Connection* connection, bool descriptionsOnly)
{
    wxString text;
    FormatAdoErrors(connection, descriptionsOnly, text);
    return text;
}

void FormatComError(const _com_error& error, wxString& text)
{
    text = FormatHResult(error.Error(), wxString::FromUTF8(error.ErrorMessage()));
    // Our _com_error carries error information exactly when the failing call left a source or
    // a description.
    if (!error.Source().empty() || !error.Description().empty())
        text << "\nSource: " << wxString::FromUTF8(error.Source()) << "; Description: "
             << wxString::FromUTF8(error.Description());
    text = Trimmed(text);
}

wxString GetComErrorText(const _com_error& error)
{
    wxString text;
    FormatComError(error, text);
    return text;
}

wxString GetConnectionErrorText(const ado::Connection* connection, const _com_error& error)
{
    wxString text;
    try {
        text = GetProviderErrorsText(connection);
    } catch (...) {
        // Called from error handlers, so it must not throw: the COM error's text stands in.
    }
    return text.empty() ? GetComErrorText(error) : text;
}

HRESULT HResultFromErrno(int error)
{
    if (error <= 0)
        return static_cast<HRESULT>(error);
    return static_cast<HRESULT>(0x80070000u | (static_cast<uint32_t>(error) & 0xFFFFu));
}

wxString FormatErrnoAsComError(int error)
{
    wxString message = SystemMessage(error);
    return Trimmed(FormatHResult(HResultFromErrno(error), message.empty() ? wxString("Errors occurred.") : message));
}

wxString GetLastErrorText()
{
    const int error = errno;
    if (error == 0 || !FAILED(HResultFromErrno(error)))
        return wxString();
    wxString message = Trimmed(SystemMessage(error));
    return message.empty() ? wxString("Errors occurred.") : message;
}
