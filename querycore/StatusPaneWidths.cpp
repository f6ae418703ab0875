#include "StatusPaneWidths.h"

#include <algorithm>

std::vector<int> FitStatusPaneWidths(const std::vector<int>& wanted, int available)
{
    if (available <= 0)
        return wanted;
    int room = available;
    int shrinkable = 0;
    for (int width : wanted) {
        if (width < 0)
            room -= kMinStretchWidth;
        else if (width < kMinShrinkWidth)
            room -= width;
        else
            shrinkable += width;
    }
    if (shrinkable <= std::max(room, 0))
        return wanted;
    std::vector<int> fitted = wanted;
    for (int& width : fitted)
        if (width >= kMinShrinkWidth)
            width = std::max(1, static_cast<int>(static_cast<long long>(width) * std::max(room, 0) / shrinkable));
    return fitted;
}
