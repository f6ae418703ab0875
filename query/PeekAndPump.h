// Keeps the user interface alive inside a long loop on the UI thread (Find in Files, the schema
// search): handles what is waiting, then the idle work.
#pragma once

// False when the program is ending: the caller stops its loop. A call made while events are
// already being handled inside another such call does nothing and returns true.
// Without idle, only the waiting events are handled (the caller runs the idle work less often).
bool PeekAndPump(bool idle = true);
