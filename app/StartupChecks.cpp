#include "StartupChecks.h"

#include "ado/Ado.h"

#include <wx/grid.h>
#include <wx/platinfo.h>

#include <sys/utsname.h>

#include <cstdio>

namespace startup {

bool IsOsVersionSupported(const wxString& kernelRelease, int gtkMajor)
{
    int major = 0;
    int minor = 0;
    if (std::sscanf(kernelRelease.utf8_str(), "%d.%d", &major, &minor) < 1)
        return false;
    bool kernelOk = major > 3 || (major == 3 && minor >= 2);
    return kernelOk && gtkMajor >= 3;
}

bool IsAdoVersionAccepted(const wxString& version)
{
    wxString v = version;
    v.Trim(true).Trim(false);
    for (const char* refused : {"1.0", "1.5", "2.0", "2.1"})
        if (v.CmpNoCase(refused) == 0)
            return false;
    return true;
}

bool IsUnregisterRequested(const wxString& rawCommandLine)
{
    wxString lower = rawCommandLine.Lower();
    return lower.Contains("-unregister") || lower.Contains("/unregister");
}

Services Services::Default()
{
    Services s;
    s.kernelRelease = [] {
        struct utsname u{};
        return uname(&u) == 0 ? wxString::FromUTF8(u.release) : wxString();
    };
    s.gtkMajor = [] { return wxPlatformInfo::Get().GetToolkitMajorVersion(); };
    s.adoVersion = [](wxString& version) {
        ado::ConnectionPtr connection = ado::Connection::Create();
        if (!connection)
            return false;
        version = wxString::FromUTF8(connection->GetVersion());
        return true;
    };
    // The grid is a control of the class library linked into the program; asking for its
    // class at run time confirms that it is there.
    s.gridAvailable = [] { return wxClassInfo::FindClass("wxGrid") != nullptr; };
    return s;
}

} // namespace startup
