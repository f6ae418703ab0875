#include "GoToTarget.h"

#include <cstdlib>

namespace {

GoToStep Clamp(long target, long last)
{
    if (target > last || target < 0)
        return {last, wxString::Format("%ld", last)};
    if (target == 0)
        return {1, "1"};
    return {target, wxString()};
}

} // namespace

long CGoToTarget::ParseNumber(const wxString& box)
{
    wxString text = box;
    text.Trim(true).Trim(false);
    return std::strtol(text.utf8_str(), nullptr, 10);
}

GoToStep CGoToTarget::ForLines(GoToRequest request, long typed, long currentLine, long lineCount)
{
    long target = typed;
    if (request == GoToRequest::Previous)
        target = currentLine; // the line above, counted from 1
    else if (request == GoToRequest::Next)
        target = currentLine + 2;
    return Clamp(target, lineCount);
}

std::optional<GoToStep> CGoToTarget::ForGridRows(GoToRequest request, long typed, long currentRow, long rowCount)
{
    // A grid of only its header row has no row to go to.
    if (rowCount < 2)
        return std::nullopt;
    long target = typed;
    if (request == GoToRequest::Previous)
        target = currentRow - 1;
    else if (request == GoToRequest::Next)
        target = currentRow + 1;
    return Clamp(target, rowCount - 1);
}
