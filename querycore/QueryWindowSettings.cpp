#include "QueryWindowSettings.h"

#include "platform/SettingsStore.h"

CQueryWindowSettings::CQueryWindowSettings(const CSettingsStore& store)
    : m_bMsAccuracy(store.GetProfileInt("Configure", "MsAccuracy", 1)),
      m_bAutoCommit(store.GetProfileInt("Configure", "Auto Commit", 1)),
      m_bDisplayDbmsVer(store.GetProfileInt("Configure", "Display DBMS Ver", 0)),
      m_bStopOnError(store.GetProfileInt("Configure", "Do Not Exec Continuosly", 1)),
      m_strBatchSeparator(store.GetProfileString("Configure", "Batch Separator", wxString())),
      m_nCacheSize(store.GetProfileInt("Configure", "Cache Size", 100)),
      m_bUseQuotedIdentifiers(store.GetProfileInt("Configure", "Use QI", 1)),
      m_bBeep(store.GetProfileInt("Configure", "Beep", 0)),
      m_bResultsInTextWarning(store.GetProfileInt("General", "ResultsInTextWarning", 1))
{
}
