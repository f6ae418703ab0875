// The print system's destinations (CUPS): what the printer check asks before printing.
#pragma once

#include <wx/string.h>

#include <vector>

class wxWindow;

class CPrintDestinations {
public:
    static constexpr const char* kNoPrinter = "Before you can print, you need to install a printer.\n"
                                              "To do this, open the printer settings of your desktop and add a printer.";

    // The printer check of every print command: true when there is a printer; otherwise says so
    // (kNoPrinter, information icon) and returns false.
    static bool CheckAvailable(wxWindow* parent = nullptr);

    // The names of the printers and classes that the print system offers; empty when there
    // are none or the print system cannot be reached.
    static std::vector<wxString> List();
    // The default destination, or empty when there is none.
    static wxString Default();
};
