#include "GridClipboardData.h"

CGridClipboardData::CGridClipboardData(CGridCopyText text)
    : m_text(std::move(text)), m_formats{wxDataFormat(wxDF_UNICODETEXT), wxDataFormat("text/plain;charset=utf-8")}
{
}

bool CGridClipboardData::IsText(const wxDataFormat& format) const
{
    return format == m_formats[0] || format == m_formats[1];
}

wxDataFormat CGridClipboardData::GetPreferredFormat(Direction) const
{
    return m_formats[0];
}

size_t CGridClipboardData::GetFormatCount(Direction dir) const
{
    return dir == Get ? 2 : 0;
}

void CGridClipboardData::GetAllFormats(wxDataFormat* formats, Direction dir) const
{
    if (dir != Get)
        return;
    formats[0] = m_formats[0];
    formats[1] = m_formats[1];
}

size_t CGridClipboardData::GetDataSize(const wxDataFormat& format) const
{
    if (!IsText(format))
        return 0;
    if (m_nSize == SIZE_MAX)
        m_nSize = m_text.Size();
    return m_nSize;
}

bool CGridClipboardData::GetDataHere(const wxDataFormat& format, void* buffer) const
{
    if (!IsText(format))
        return false;
    m_text.Write(static_cast<char*>(buffer));
    return true;
}

bool CGridClipboardData::SetData(const wxDataFormat&, size_t, const void*)
{
    // Only ever offered, never read into.
    return false;
}
