#include "Utf8TextDataObject.h"

#include <cstring>

CUtf8TextDataObject::CUtf8TextDataObject(std::string text)
    : m_text(std::move(text)), m_formats{wxDataFormat(wxDF_UNICODETEXT), wxDataFormat("text/plain;charset=utf-8")}
{
}

wxDataFormat CUtf8TextDataObject::GetPreferredFormat(Direction) const
{
    return m_formats[0];
}

size_t CUtf8TextDataObject::GetFormatCount(Direction dir) const
{
    return dir == Get ? 2 : 0;
}

void CUtf8TextDataObject::GetAllFormats(wxDataFormat* formats, Direction dir) const
{
    if (dir != Get)
        return;
    formats[0] = m_formats[0];
    formats[1] = m_formats[1];
}

size_t CUtf8TextDataObject::GetDataSize(const wxDataFormat& format) const
{
    return format == m_formats[0] || format == m_formats[1] ? m_text.size() : 0;
}

bool CUtf8TextDataObject::GetDataHere(const wxDataFormat& format, void* buffer) const
{
    if (format != m_formats[0] && format != m_formats[1])
        return false;
    std::memcpy(buffer, m_text.data(), m_text.size());
    return true;
}

bool CUtf8TextDataObject::SetData(const wxDataFormat&, size_t, const void*)
{
    // Only ever offered, never read into.
    return false;
}
