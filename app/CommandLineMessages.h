// The messages that end a command line before anything is opened or run: the usage text and the
// refusals of the options. The same with a display (message boxes) and without one (standard
// error), so that both front ends say the same. Main thread; nothing throws.
#pragma once

#include "TorvaneCommandLineInfo.h"

#include <wx/string.h>

namespace command_line {

// The usage text: the options, and examples that work here. It names the program by its
// executable's file name and the readme beside it.
wxString UsageText();

// Shows the usage text with the information icon.
void ShowUsage();

// Shows what ends a request that is the usage text or a refusal, and says whether it was one; a
// request that opens or runs something shows nothing.
bool ShowRefusal(const CommandLineRequest& request);

} // namespace command_line
