// Where a Go To step lands, computed from the number box and the pane's current line or row.
#pragma once

#include <wx/string.h>

#include <optional>

enum class GoToRequest {
    Number,   // the number typed in the box
    Next,     // the box is empty: one line or row down
    Previous, // one line or row up
};

struct GoToStep {
    long target = 0;  // line counted from 1, or grid row (row 0 is the header)
    wxString boxText; // what the number box shows afterwards; empty switches to next mode
};

class CGoToTarget {
public:
    // The box's text, trimmed, as a decimal number; leading digits count, anything else is 0.
    static long ParseNumber(const wxString& box);

    // Lines of a text pane: currentLine counts from 0, lineCount is at least 1.
    static GoToStep ForLines(GoToRequest request, long typed, long currentLine, long lineCount);

    // Rows of a results grid whose row 0 is the header. Nothing when the grid has no data rows.
    static std::optional<GoToStep> ForGridRows(GoToRequest request, long typed, long currentRow, long rowCount);
};
