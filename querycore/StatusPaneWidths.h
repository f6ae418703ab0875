// How the panes of a status bar share its width. No window needed.
#pragma once

#include <vector>

// The widths to give the panes: the wanted ones while they fit. In a narrower bar the panes of
// text shrink in proportion, so that every pane stays in sight beside a stretching pane (a
// negative width, kept as it is) of at least kMinStretchWidth pixels; small indicator panes
// (below kMinShrinkWidth) keep their width. An unknown width (0 or less) changes nothing.
constexpr int kMinStretchWidth = 40;
constexpr int kMinShrinkWidth = 32;
std::vector<int> FitStatusPaneWidths(const std::vector<int>& wanted, int available);
