#include "LayoutFromTop.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <dlfcn.h>

void LayoutFromTop(wxWindow& window)
{
#ifdef __WXGTK__
    // The toolkit's own library is already loaded by the GUI library; its headers are not
    // needed for one call.
    using QueueAllocate = void (*)(void*);
    static const auto queueAllocate = reinterpret_cast<QueueAllocate>(dlsym(RTLD_DEFAULT, "gtk_widget_queue_allocate"));
    wxWindow* top = wxGetTopLevelParent(&window);
    if (queueAllocate && top && top->GetHandle())
        queueAllocate(top->GetHandle());
#else
    wxUnusedVar(window);
#endif
}
