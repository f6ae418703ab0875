// Command ids of the schema pane, with those it shares with the other panes of the query window.
#pragma once

#include "query/ResultCommands.h"
#include "schemacore/SchemaCommandIds.h"
