// The print system's destinations (CUPS): what the printer check asks before printing.
#pragma once

#include <wx/string.h>

#include <vector>

class CPrintDestinations {
public:
    // The names of the printers and classes that the print system offers; empty when there
    // are none or the print system cannot be reached.
    static std::vector<wxString> List();
    // The default destination, or empty when there is none.
    static wxString Default();
};
