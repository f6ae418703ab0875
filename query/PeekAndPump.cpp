#include "PeekAndPump.h"

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/window.h>

namespace {

bool ProgramEnding()
{
    if (!wxTheApp)
        return true;
    wxWindow* top = wxTheApp->GetTopWindow();
    return !top || top->IsBeingDeleted();
}

} // namespace

bool PeekAndPump(bool idle)
{
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop || ProgramEnding())
        return false;
    if (loop->IsYielding())
        return true;
    loop->YieldFor(wxEVT_CATEGORY_ALL);
    if (ProgramEnding())
        return false;
    if (!idle)
        return true;
    // Idle handlers may ask for more idle time without end; a few rounds keep the loop moving.
    for (int round = 0; round < 16 && wxTheApp->ProcessIdle(); ++round) {
    }
    return !ProgramEnding();
}
