#include "CompanionCommands.h"

#include <wx/menu.h>

void AppendCompanionCommands(wxMenu& menu)
{
    menu.Append(ID_ODBC_DRIVER_INFO, "&ODBC Driver Information...",
                "Show what the ODBC driver of the connection can do");
    menu.Append(ID_PROVIDER_TYPES, "&Types...", "Show the data types of the connection's provider");
}
