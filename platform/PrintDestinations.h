// The print system's destinations (CUPS) and the print dialog's file printer: what the printer
// check asks before printing. Thread contract: the UI thread. Errors: none thrown; a print
// system that cannot be reached offers no queue.
#pragma once

#include <wx/defs.h>
#include <wx/string.h>

#include <vector>

class wxWindow;

class CPrintDestinations {
#if (defined(wxUSE_GTKPRINT) && wxUSE_GTKPRINT) || (defined(wxUSE_POSTSCRIPT) && wxUSE_POSTSCRIPT)
    static constexpr bool kFilePrinter = true;
#else
    static constexpr bool kFilePrinter = false;
#endif

public:
    static constexpr const char* kNoPrinter = "Before you can print, you need to install a printer.\n"
                                              "To do this, open the printer settings of your desktop and add a printer.";

    // The printer check of the print commands that open the print dialog: true when there is a
    // print queue or the dialog offers its file printer; otherwise says so (kNoPrinter,
    // information icon) and returns false.
    static bool CheckAvailable(wxWindow* parent = nullptr);

    // The toolkit's print dialog offers printing to a PDF or PostScript file, with or without
    // a print queue.
    static constexpr bool HasFilePrinter() { return kFilePrinter; }
    // A print queue is there to print to without the dialog.
    static bool HasQueue() { return !List().empty(); }

    // The names of the printers and classes that the print system offers; empty when there
    // are none or the print system cannot be reached.
    static std::vector<wxString> List();
    // The default destination, or empty when there is none.
    static wxString Default();
};
