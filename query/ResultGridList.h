// The results grids of a query window's current run, in the order they were made (grid n is
// entry n - 1), the one shown, and whether making room for rows failed. The grids are windows of
// the results pane; the list only names them. UI thread only.
#pragma once

#include <vector>

class CMSHFlexGrid;

class CResultGridList {
public:
    int Count() const { return static_cast<int>(m_grids.size()); }
    bool IsEmpty() const { return m_grids.empty(); }
    // Grid n, counted from 1; null when there is no such grid.
    CMSHFlexGrid* At(int n) const
    {
        return n >= 1 && n <= Count() ? m_grids[static_cast<size_t>(n - 1)] : nullptr;
    }
    CMSHFlexGrid* First() const { return m_grids.empty() ? nullptr : m_grids.front(); }
    const std::vector<CMSHFlexGrid*>& All() const { return m_grids; }
    void Add(CMSHFlexGrid* grid) { m_grids.push_back(grid); }
    void Clear() { m_grids.clear(); }

    // The grid shown, counted from 1; 0 before the run has shown one.
    int Current() const { return m_nCurrentGrid; }
    void SetCurrent(int n) { m_nCurrentGrid = n; }

    // Making room for rows failed: the grid commands stay off until the next grid-mode run.
    bool IsFailed() const { return m_bGridFailed; }
    void SetFailed(bool failed) { m_bGridFailed = failed; }

private:
    std::vector<CMSHFlexGrid*> m_grids;
    int m_nCurrentGrid = 0;
    bool m_bGridFailed = false;
};
