#include "ConnectRules.h"

#include "common/IdentifierText.h"

const char* const kOperationCanceled = "Operation was canceled.";

wxString MakeRetryConnectString(const wxString& connectString)
{
    wxString result = connectString;
    if (result.Find(";Persist Security Info=") == wxNOT_FOUND)
        result += ";Persist Security Info=False";
    result.Replace("Persist Security Info=False", "Persist Security Info=True");
    return result;
}

bool RetryWithPrompt(const wxString& connectString)
{
    return connectString.Find("Provider=MSOLAP") == wxNOT_FOUND;
}

bool IsCancelledPromptMessage(const wxString& message)
{
    return message.Find(kOperationCanceled) != wxNOT_FOUND || message.Find("Operation Canceled") != wxNOT_FOUND;
}

int ClampLoginTimeout(int seconds)
{
    return seconds < 0 || seconds > 99999 ? 0 : seconds;
}

int ClampQueryTimeout(int seconds)
{
    return seconds < 0 || seconds > 99999 ? 0 : seconds;
}

int ClampCacheSize(int rows)
{
    return rows < 1 || rows > 999999 ? 100 : rows;
}

wxString NormaliseBatchSeparator(const wxString& stored)
{
    const bool valid = !stored.empty() && HasNoWhitespace(stored);
    if (!valid)
        return "GO";
    if (stored.IsSameAs("<NULL>", false))
        return wxString();
    return stored;
}
