#include "ModalSteps.h"

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <thread>

using namespace std::chrono_literals;

namespace window_test {

wxDialog* ShownModalDialog(const std::function<bool(wxDialog&)>& match)
{
    for (wxWindow* window : wxTopLevelWindows) {
        auto* dialog = dynamic_cast<wxDialog*>(window);
        if (dialog && dialog->IsModal() && dialog->IsShown() && match(*dialog))
            return dialog;
    }
    return nullptr;
}

void SaveScreenshot(wxWindow& window, const wxString& name)
{
    for (int i = 0; i < 20; ++i) {
        wxYield();
        std::this_thread::sleep_for(10ms);
    }
    const wxRect rect = window.GetScreenRect();
    wxScreenDC screen;
    wxBitmap bitmap(rect.GetWidth(), rect.GetHeight());
    {
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.GetWidth(), rect.GetHeight(), &screen, rect.GetX(), rect.GetY());
    }
    wxFileName::Mkdir(TORVANE_ARTIFACTS_DIR, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    EXPECT_TRUE(bitmap.ConvertToImage().SaveFile(wxString(TORVANE_ARTIFACTS_DIR) + "/" + name, wxBITMAP_TYPE_PNG));
}

} // namespace window_test
