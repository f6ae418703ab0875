#include "TVFontDialog.h"

CTVFontDialog::CTVFontDialog(wxWindow* parent, const wxFontData& data) : wxFontDialog(parent, data) {}

int CTVFontDialog::ShowModal()
{
    SetTitle(m_strCaption);
    return wxFontDialog::ShowModal();
}
