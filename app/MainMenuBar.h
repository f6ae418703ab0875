// The main window's own menu bar, shown while no query window is open: File (the connect
// commands, Open, Print Setup, the recent lists, Exit), Tools and Help, built from the command
// table (query/MenuCommands). Called on the window thread only.
#pragma once

class wxMenuBar;

wxMenuBar* CreateMainMenuBar();
