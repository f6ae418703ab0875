// The data link dialog: asks the user for the connection of a new query window.
#pragma once

#include <wx/string.h>

#include <optional>

class wxWindow;

class CDataLinks {
public:
    // The connect string the user entered, or nothing when the dialog was cancelled.
    static std::optional<wxString> PromptNew(wxWindow* parent);
    // The same dialog starting from the given connect string.
    static std::optional<wxString> PromptEdit(wxWindow* parent, const wxString& connectString);
};
