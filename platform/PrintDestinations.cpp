#include "PrintDestinations.h"

#include "MessageBox.h"

#include <cups/cups.h>

std::vector<wxString> CPrintDestinations::List()
{
    std::vector<wxString> names;
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i)
        names.push_back(wxString::FromUTF8(dests[i].name));
    cupsFreeDests(count, dests);
    return names;
}

wxString CPrintDestinations::Default()
{
    cups_dest_t* dests = nullptr;
    int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    wxString name;
    if (cups_dest_t* dest = cupsGetDest(nullptr, nullptr, count, dests))
        name = wxString::FromUTF8(dest->name);
    cupsFreeDests(count, dests);
    return name;
}

bool CPrintDestinations::CheckAvailable(wxWindow* parent)
{
    bool available = false;
    try {
        available = HasFilePrinter() || HasQueue();
        if (!available)
            TVMessageBox(kNoPrinter, wxOK | wxICON_INFORMATION, parent);
    } catch (...) {
        // The answer stays as far as it got.
    }
    return available;
}
