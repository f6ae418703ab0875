// The font dialog with a caption of its own ("Editor Font", "Grid Font", "Schema Font").
#pragma once

#include <wx/fontdlg.h>

class CTVFontDialog : public wxFontDialog {
public:
    CTVFontDialog(wxWindow* parent, const wxFontData& data);

    // The window caption shown when the dialog opens; the caller sets it.
    wxString m_strCaption;

    int ShowModal() override;
};
