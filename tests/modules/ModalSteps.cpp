#include "ModalSteps.h"

#include <wx/filedlg.h>

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

std::function<bool()> ProposeFileStep(ModalDialogWatch& hook, const wxString& path, wxString& proposedName)
{
    return [&hook, path, &proposedName] {
        auto* files = dynamic_cast<wxFileDialog*>(hook.Current());
        if (!files || !files->IsShown())
            return false;
        proposedName = files->GetFilename();
        files->SetPath(path);
        return true;
    };
}

std::function<bool()> ConfirmFileStep(ModalDialogWatch& hook, const wxString& path)
{
    return [&hook, path] {
        auto* files = dynamic_cast<wxFileDialog*>(hook.Current());
        if (!files || files->GetPath() != path)
            return false;
        files->EndModal(wxID_OK);
        return true;
    };
}

} // namespace window_test
