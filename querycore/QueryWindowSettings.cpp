#include "QueryWindowSettings.h"

#include "common/SettingsTable.h"

CQueryWindowSettings::CQueryWindowSettings(CSettingsStore& store)
    : m_bMsAccuracy(settings::ReadInt(settings::MsAccuracy, store)),
      m_bAutoCommit(settings::ReadInt(settings::AutoCommit, store)),
      m_bDisplayDbmsVer(settings::ReadInt(settings::DisplayDbmsVer, store)),
      m_bStopOnError(settings::ReadInt(settings::DoNotExecContinuously, store)),
      m_strBatchSeparator(settings::ReadString(settings::BatchSeparator, store)),
      m_nCacheSize(settings::ReadInt(settings::CacheSize, store)),
      m_bUseQuotedIdentifiers(settings::ReadInt(settings::UseQI, store)),
      m_bBeep(settings::ReadInt(settings::Beep, store)),
      m_bResultsInTextWarning(settings::ReadInt(settings::ResultsInTextWarning, store))
{
}
