// The query window's toolbar pictures, drawn for this program and kept in it, so that every
// button shows the same picture on any desktop, whatever icon theme it has. No window needed.
#pragma once

#include <wx/bmpbndl.h>

enum class ToolbarImage {
    Execute,
    Cancel,
    ResultsInText,
    Messages,
    Schema,
    Output,
    PreviousGrid,
    NextGrid,
};

// The picture at 16 x 16 pixels (and larger, for screens that scale).
wxBitmapBundle GetToolbarImage(ToolbarImage image);
