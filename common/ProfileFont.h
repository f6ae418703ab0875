// The font record kept in a pane's font section ("Query\Font", "Result\Font", "Grid\Font",
// "Schema\Font"): the fields of a logical font that the program stores, plus the caller's bold
// flag and point size. A height of 0 means that no font is stored.
#pragma once

#include "platform/SettingsStore.h"

#include <wx/font.h>
#include <wx/string.h>

struct LogFont {
    static constexpr int kFaceNameMax = 31;
    static constexpr int kDefaultCharSet = 1;

    int lfHeight = 0; // negative: character height in pixels; positive: cell height
    int lfWeight = 0; // 100..900, 0 = default
    int lfItalic = 0;
    int lfUnderline = 0;
    int lfPitchAndFamily = 0;
    int lfCharSet = 0;
    wxString lfFaceName;

    // The font at the screen's resolution; an invalid font when lfHeight is 0.
    wxFont ToFont() const;
    static LogFont FromFont(const wxFont& font);
};

// Writes nothing when lfHeight is 0; else the seven font values and, with the flag, "Bold" and "Size".
void WriteProfileFont(const wxString& section, const LogFont& lf, bool withBoldAndSize = false, int bold = 0,
                      int size = 0, CSettingsStore& store = CSettingsStore::Get());

// Reads "Height"; when it is 0 nothing else is read and the record keeps what the caller put in.
// Otherwise the other values are read with their defaults (CharSet 1, FaceName "System"), the
// face name cut to 31 characters, and with the flag "Bold" and "Size".
void ReadProfileFont(const wxString& section, LogFont& lf, bool withBoldAndSize = false, int* bold = nullptr,
                     int* size = nullptr, CSettingsStore& store = CSettingsStore::Get());
