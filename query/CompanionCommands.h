// The query window's commands that show a companion component's window for its connection.
#pragma once

#include "common/CommandIds.h"

class wxMenu;

enum : int {
    ID_PROVIDER_TYPES = TVCommandId(32883), // "&Types..."
};

// Appends the companion commands whose components exist: "&Types...".
void AppendCompanionCommands(wxMenu& menu);
