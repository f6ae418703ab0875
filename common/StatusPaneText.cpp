#include "StatusPaneText.h"

#include <wx/statusbr.h>

int MeasureTextInWindowFont(int index, int& style, int& width, wxStatusBar& bar, const wxString& text)
{
    style = bar.GetStatusStyle(index);
    wxRect rect;
    width = bar.GetFieldRect(index, rect) ? rect.width : 0;
    return bar.GetTextExtent(text).x;
}
