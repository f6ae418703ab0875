#include "ProfileFont.h"

#include <wx/app.h>
#include <wx/gdicmn.h>

#include <cmath>
#include <cstdlib>

namespace {

// Pitch and family values of the stored record.
constexpr int kFixedPitch = 1;
constexpr int kFamilyRoman = 0x10;
constexpr int kFamilySwiss = 0x20;
constexpr int kFamilyModern = 0x30;
constexpr int kFamilyScript = 0x40;
constexpr int kFamilyDecorative = 0x50;

int ScreenDpi()
{
    if (const wxAppConsole* app = wxAppConsole::GetInstance(); !app || !app->IsGUI())
        return 96;
    int dpi = wxGetDisplayPPI().y;
    return dpi > 0 ? dpi : 96;
}

} // namespace

wxFont LogFont::ToFont() const
{
    if (lfHeight == 0)
        return wxFont();
    // A negative height is the character height in pixels; a positive one includes the leading,
    // which is near enough a sixth more than the character height for the fonts in use.
    double pixels = lfHeight < 0 ? -lfHeight : lfHeight * 5.0 / 6.0;
    double points = pixels * 72.0 / ScreenDpi();
    wxFontInfo info(points);
    info.FaceName(lfFaceName);
    if (lfWeight > 0)
        info.Weight(lfWeight);
    info.Italic(lfItalic != 0).Underlined(lfUnderline != 0);
    switch (lfPitchAndFamily & 0xF0) {
    case kFamilyRoman: info.Family(wxFONTFAMILY_ROMAN); break;
    case kFamilySwiss: info.Family(wxFONTFAMILY_SWISS); break;
    case kFamilyModern: info.Family(wxFONTFAMILY_MODERN); break;
    case kFamilyScript: info.Family(wxFONTFAMILY_SCRIPT); break;
    case kFamilyDecorative: info.Family(wxFONTFAMILY_DECORATIVE); break;
    default:
        if (lfPitchAndFamily & kFixedPitch)
            info.Family(wxFONTFAMILY_TELETYPE);
        break;
    }
    return wxFont(info);
}

LogFont LogFont::FromFont(const wxFont& font)
{
    LogFont lf;
    if (!font.IsOk())
        return lf;
    lf.lfHeight = -static_cast<int>(std::lround(font.GetFractionalPointSize() * ScreenDpi() / 72.0));
    lf.lfWeight = font.GetNumericWeight();
    lf.lfItalic = font.GetStyle() != wxFONTSTYLE_NORMAL ? 1 : 0;
    lf.lfUnderline = font.GetUnderlined() ? 1 : 0;
    lf.lfCharSet = kDefaultCharSet;
    switch (font.GetFamily()) {
    case wxFONTFAMILY_ROMAN: lf.lfPitchAndFamily = kFamilyRoman; break;
    case wxFONTFAMILY_SWISS: lf.lfPitchAndFamily = kFamilySwiss; break;
    case wxFONTFAMILY_MODERN: lf.lfPitchAndFamily = kFamilyModern; break;
    case wxFONTFAMILY_SCRIPT: lf.lfPitchAndFamily = kFamilyScript; break;
    case wxFONTFAMILY_DECORATIVE: lf.lfPitchAndFamily = kFamilyDecorative; break;
    case wxFONTFAMILY_TELETYPE: lf.lfPitchAndFamily = kFamilyModern | kFixedPitch; break;
    default: break;
    }
    if (font.IsFixedWidth())
        lf.lfPitchAndFamily |= kFixedPitch;
    lf.lfFaceName = font.GetFaceName().Left(kFaceNameMax);
    return lf;
}

void WriteProfileFont(const wxString& section, const LogFont& lf, bool withBoldAndSize, int bold, int size,
                      CSettingsStore& store)
{
    if (lf.lfHeight == 0)
        return;
    store.WriteProfileInt(section, "Height", lf.lfHeight);
    store.WriteProfileInt(section, "Weight", lf.lfWeight);
    store.WriteProfileInt(section, "Italic", lf.lfItalic);
    store.WriteProfileInt(section, "Underline", lf.lfUnderline);
    store.WriteProfileInt(section, "PitchAndFamily", lf.lfPitchAndFamily);
    store.WriteProfileInt(section, "CharSet", lf.lfCharSet);
    store.WriteProfileString(section, "FaceName", lf.lfFaceName.Left(LogFont::kFaceNameMax));
    if (withBoldAndSize) {
        store.WriteProfileInt(section, "Bold", bold);
        store.WriteProfileInt(section, "Size", size);
    }
}

void ReadProfileFont(const wxString& section, LogFont& lf, bool withBoldAndSize, int* bold, int* size,
                     CSettingsStore& store)
{
    lf.lfHeight = store.GetProfileInt(section, "Height", 0);
    if (lf.lfHeight == 0)
        return;
    lf.lfWeight = store.GetProfileInt(section, "Weight", 0);
    lf.lfItalic = store.GetProfileInt(section, "Italic", 0);
    lf.lfUnderline = store.GetProfileInt(section, "Underline", 0);
    lf.lfPitchAndFamily = store.GetProfileInt(section, "PitchAndFamily", 0);
    lf.lfCharSet = store.GetProfileInt(section, "CharSet", LogFont::kDefaultCharSet);
    lf.lfFaceName = store.GetProfileString(section, "FaceName", "System").Left(LogFont::kFaceNameMax);
    if (withBoldAndSize) {
        if (bold)
            *bold = store.GetProfileInt(section, "Bold", 0);
        if (size)
            *size = store.GetProfileInt(section, "Size", 0);
    }
}
