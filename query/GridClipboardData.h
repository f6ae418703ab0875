// The clipboard's text of copied grid cells, offered as UTF-8. It keeps the cells' store and the
// order they were shown in, and writes the text only when a program pastes it, straight into
// the buffer the paste asks for: a copy of a whole large grid costs no second grid in memory.
#pragma once

#include "querycore/GridCopyText.h"

#include <wx/dataobj.h>

class CGridClipboardData : public wxDataObject {
public:
    explicit CGridClipboardData(CGridCopyText text);

    wxDataFormat GetPreferredFormat(Direction dir = Get) const override;
    size_t GetFormatCount(Direction dir = Get) const override;
    void GetAllFormats(wxDataFormat* formats, Direction dir = Get) const override;
    size_t GetDataSize(const wxDataFormat& format) const override;
    bool GetDataHere(const wxDataFormat& format, void* buffer) const override;
    bool SetData(const wxDataFormat& format, size_t length, const void* buffer) override;

private:
    bool IsText(const wxDataFormat& format) const;

    CGridCopyText m_text;
    // Measured once, on the first request.
    mutable size_t m_nSize = SIZE_MAX;
    // The text formats of the desktop: UTF8_STRING and text/plain;charset=utf-8.
    wxDataFormat m_formats[2];
};
