// Clipboard text held as the UTF-8 bytes it is offered in: a large grid copy is kept once, not
// converted into a wide string first (four bytes a character) and then back.
#pragma once

#include <wx/dataobj.h>

#include <string>

class CUtf8TextDataObject : public wxDataObject {
public:
    explicit CUtf8TextDataObject(std::string text);

    wxDataFormat GetPreferredFormat(Direction dir = Get) const override;
    size_t GetFormatCount(Direction dir = Get) const override;
    void GetAllFormats(wxDataFormat* formats, Direction dir = Get) const override;
    size_t GetDataSize(const wxDataFormat& format) const override;
    bool GetDataHere(const wxDataFormat& format, void* buffer) const override;
    bool SetData(const wxDataFormat& format, size_t length, const void* buffer) override;

private:
    std::string m_text;
    // The text formats of the desktop: UTF8_STRING and text/plain;charset=utf-8.
    wxDataFormat m_formats[2];
};
