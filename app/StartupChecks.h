// The decisions of start-up that need no window: whether the system, the data layer and the
// grid control are good enough to run, and whether the command line asks for unregistration.
#pragma once

#include <wx/string.h>

#include <functional>

namespace startup {

// The system check: a Linux kernel of 3.2 or later with GTK 3.
bool IsOsVersionSupported(const wxString& kernelRelease, int gtkMajor);

// The data layer's version passes unless it is one of "1.0", "1.5", "2.0", "2.1" (trimmed,
// compared ignoring case).
bool IsAdoVersionAccepted(const wxString& version);

// The raw command line holds "-Unregister", or else "/Unregister", anywhere, in any case.
bool IsUnregisterRequested(const wxString& rawCommandLine);

// What start-up asks of the platform; tests replace single members.
struct Services {
    // The running kernel's release ("6.1.0-18-amd64") and the GTK major version.
    std::function<wxString()> kernelRelease;
    std::function<int()> gtkMajor;
    // Creates a data layer connection and reads its Version; false (or an exception) when
    // the layer cannot be created.
    std::function<bool(wxString& version)> adoVersion;
    // Whether the results grid control is available.
    std::function<bool()> gridAvailable;

    static Services Default();
};

} // namespace startup
