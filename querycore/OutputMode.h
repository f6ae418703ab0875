// The output mode of a query window: whether its runs show their result sets as text or in
// grids, and whether the next run writes them to files instead, as the save options say. A save
// run switches a window in grid mode to text for that run only. UI thread only.
#pragma once

#include "SaveOptions.h"

struct COutputMode {
    int m_bResultsInText = 0;
    // The next run writes its result sets to files.
    int m_bSaveMode = 0;
    // Save mode switched the window from grids to text; grids come back when the run ends.
    int m_bTextModeForced = 0;
    CSaveOptions m_saveOptions;
};
