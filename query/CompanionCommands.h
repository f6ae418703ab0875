// The query window's commands that show a companion component's window for its connection.
#pragma once

#include "common/CommandIds.h"

class wxMenu;

enum : int {
    ID_ODBC_DRIVER_INFO = TVCommandId(224),  // "&ODBC Driver Information..."
    ID_PROVIDER_TYPES = TVCommandId(32883), // "&Types..."
};

// Appends the companion commands: "&ODBC Driver Information..." and "&Types...".
void AppendCompanionCommands(wxMenu& menu);
