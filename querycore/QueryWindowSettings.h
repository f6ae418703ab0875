// The settings a query window copies from the profile when it is created, and the per-window
// execution options. A change of the profile affects only windows created afterwards.
#pragma once

#include <wx/string.h>

class CSettingsStore;

class CQueryWindowSettings {
public:
    explicit CQueryWindowSettings(CSettingsStore& store);

    int m_bMsAccuracy;            // elapsed time shown with milliseconds
    int m_bAutoCommit;            // autocommit mode wanted (effective mode once connected)
    int m_bDisplayDbmsVer;        // DBMS name and version in the title bar
    int m_bStopOnError;           // a failed batch stops the remaining batches
    wxString m_strBatchSeparator; // normalised when the connection opens
    int m_nCacheSize;             // recordset cache size (clamped when the connection opens)
    int m_bUseQuotedIdentifiers;  // quoted identifiers in force
    int m_bBeep;                  // beep when a run ends
    int m_bResultsInTextWarning;  // warn when Results in Text is switched on

    // Per-window options, not from the profile.
    int m_bRowLimit = 0;
    int m_nMaxRows = 100;
    int m_nQueryTimeout = 0;   // seconds, 0 = none
    int m_nThreadPriority = 0; // THREAD_PRIORITY_NORMAL
};
