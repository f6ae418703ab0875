#include "CommandLineBatchRun.h"

#include "AppStrings.h"
#include "CommandLineMessages.h"
#include "common/ErrorText.h"
#include "common/FileException.h"
#include "common/FileHelpers.h"
#include "common/SettingsTable.h"
#include "querycore/QueryFileCodec.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/ShellRegistration.h"
#include "querycore/BatchFlow.h"
#include "querycore/BatchLoop.h"
#include "querycore/BatchSplitter.h"
#include "querycore/ConnectStringUtil.h"
#include "querycore/DataLinkFile.h"
#include "querycore/ExportResultsWorker.h"
#include "querycore/FrameMailbox.h"
#include "querycore/MessagesBuffer.h"
#include "querycore/PageFileUsage.h"
#include "querycore/QueryRunState.h"
#include "querycore/SaveWorker.h"
#include "StartupChecks.h"
#include "StopSignalWatch.h"

#include <chrono>

namespace {

const char* const kNeedsDisplay =
    "Query windows need a display. Without one only the batch run (-i <input file> -o <output file>) runs.";
const char* const kNeedsProvider =
    "The connect string names no provider (\"Provider=\"). The data link dialog that would ask for the "
    "connection needs a display.";
const char* const kNoConnectString = "'%s'.\nThe data link file holds no connect string.";
const char* const kRolledBack = "The transaction of the run was rolled back.";
const char* const kNothingRun = "Nothing was run.";

// After a stop signal, how long a run may take to wind down before it is abandoned.
constexpr std::chrono::milliseconds kStopGrace{600};

} // namespace

int CCommandLineBatchRun::Main(const std::vector<wxString>& args)
{
    std::vector<wxString> argv{"torvane"};
    argv.insert(argv.end(), args.begin(), args.end());
    CTorvaneCommandLineInfo info;
    ParseCommandLine(info, static_cast<int>(argv.size()), argv.data());

    const CTorvaneCommandLineInfo::StartAction action = args.empty() ? CTorvaneCommandLineInfo::ShowUsage
                                                                      : info.GetStartAction();
    switch (action) {
    case CTorvaneCommandLineInfo::Unregister:
        CShellRegistration::Unregister();
        CSettingsStore::Get().DeleteAll();
        TVMessageBox(strings::kUnregistered, wxOK | wxICON_INFORMATION);
        return kSucceeded;
    case CTorvaneCommandLineInfo::ShowUsage:
        command_line::ShowUsage();
        return kRefused;
    case CTorvaneCommandLineInfo::ShellCommand:
        TVMessageBox(kNeedsDisplay, wxOK | wxICON_STOP);
        return kRefused;
    case CTorvaneCommandLineInfo::ProcessOptions:
        break;
    }

    const CommandLineRequest request = info.GetRequest();
    if (command_line::ShowRefusal(request))
        return kRefused;
    if (!request.batch || request.files.empty()) {
        TVMessageBox(kNeedsDisplay, wxOK | wxICON_STOP);
        return kRefused;
    }

    // The same prerequisite as with a display: a data layer of a version the program can use.
    try {
        wxString version;
        if (!startup::Services::Default().adoVersion(version) || !startup::IsAdoVersionAccepted(version.Trim(true).Trim(false))) {
            TVMessageBox(strings::kAdoMissing, wxOK | wxICON_STOP);
            return kFailed;
        }
    } catch (...) {
        TVMessageBox(strings::kAdoMissing, wxOK | wxICON_STOP);
        return kFailed;
    }

    wxString connect = request.connectString;
    if (!request.dataLinkFile.empty()) {
        bool reported = false;
        connect = DataLinkFile::ConnectFromCommandLine(request.dataLinkFile, &reported);
        if (connect.empty()) {
            if (!reported)
                TVMessageBox(wxString::Format(kNoConnectString, request.dataLinkFile), wxOK | wxICON_STOP);
            return kFailed;
        }
    }
    if (!HasProviderKeyword(connect.utf8_string())) {
        TVMessageBox(kNeedsProvider, wxOK | wxICON_STOP);
        return kRefused;
    }
    CCommandLineBatchRun run(CSettingsStore::Get());
    return run.Run(connect, request.files.front(), *request.batch);
}

CCommandLineBatchRun::CCommandLineBatchRun(CSettingsStore& store, std::FILE* output)
    : m_info(store), m_session(m_info), m_output(output),
      m_pState(std::make_shared<CQueryRunState>(CFrameMailbox::Create(nullptr)))
{
}

bool CCommandLineBatchRun::Connect(const wxString& connectString)
{
    try {
        m_session.CreateConnection();
        m_info.m_pConnection->Open(connectString.utf8_string());
    } catch (const _com_error& e) {
        TVMessageBox(GetConnectionErrorText(m_info.m_pConnection.get(), e), wxOK | wxICON_STOP);
        return false;
    } catch (...) {
        TVMessageBox(strings::kErrorsOccurred, wxOK | wxICON_STOP);
        return false;
    }
    m_session.PrepareOpenedConnection();
    m_info.ReadConnectionInfo();
    // As in a query window: with autocommit off the run's statements go into one transaction,
    // ended when the run ends.
    m_session.StartTransactionMode();
    return true;
}

void CCommandLineBatchRun::WriteNewOutput()
{
    std::lock_guard<std::mutex> written(m_outputMutex);
    wxString text = m_pState->ReadTextOutputFrom(m_nWritten);
    if (text.empty())
        return;
    // Error tags break their lines with CR, as the results view shows them.
    text.Replace("\r", "\n");
    std::fputs(text.utf8_str(), m_output);
    std::fflush(m_output);
}

void CCommandLineBatchRun::WriteStatus(const wxString& text)
{
    std::lock_guard<std::mutex> written(m_outputMutex);
    std::fprintf(m_output, "\n%s\n", text.utf8_str().data());
    std::fflush(m_output);
}

void CCommandLineBatchRun::WriteAbandonedEnd()
{
    // Held until the process ends: nothing is written after these words.
    m_outputMutex.lock();
    const CRunEndTexts end = GetRunEndTexts(true, false, false, m_nWritten == 0);
    const wxString separator = m_nWritten == 0 ? wxString() : wxString("\n\n");
    const wxString text = separator + end.outputText + "\n" + end.statusText + "\n";
    std::fputs(text.utf8_str(), m_output);
    std::fflush(m_output);
}

bool CCommandLineBatchRun::RunBatches(const CSaveOptions& options)
{
    CBatchLoop loop(*m_pState, GetPageFileUsagePercent);
    loop.SetStopOnError(m_info.m_bStopOnError != 0);
    loop.SetTextOutput(true);
    bool errors = false;
    bool failed = false;
    while (std::optional<CQueuedBatch> next = loop.Next(failed)) {
        const std::string prepared = BatchSplitter::PrepareBatchText(next->text.utf8_string());
        failed = false;
        if (prepared.empty())
            continue;
        CSaveBlock block;
        block.state = m_pState;
        block.connection = m_info.m_pConnection;
        block.batch = prepared;
        block.batchStart = next->position;
        block.workerExecutes = true;
        block.multipleResults = m_info.m_bMultipleResults != 0;
        block.textOutput = true;
        block.options = options;
        failed = RunSaveBatch(block) != 0;
        WriteNewOutput();
        errors = errors || failed;
    }
    if (!m_pState->IsStopRequested() && !loop.MemoryShort() && (!failed || !m_info.m_bStopOnError)) {
        const CExportStepFiles files = m_pState->ExportStep();
        if (ExportStepWanted(options, files)) {
            // No display to open anything on: the workbook or the published files are the result.
            CExportBlock block;
            block.state = m_pState;
            block.options = options;
            block.open = false;
            errors = RunExportStep(block) != 0 || errors;
            WriteNewOutput();
        }
    }
    return errors || loop.MemoryShort();
}

bool CCommandLineBatchRun::EndTransaction(bool keepWork)
{
    if (!m_session.IsTransactionOpen())
        return true;
    // Nobody is there to decide later: a run that succeeded keeps its work, any other is undone.
    wxString error;
    if (!m_session.EndTransaction(keepWork, error)) {
        m_pState->AppendError(true, error, 0);
        return false;
    }
    if (!keepWork)
        m_pState->AppendOutput(true, kRolledBack);
    return true;
}

int CCommandLineBatchRun::Run(const wxString& connectString, const wxString& inputFile, const CommandLineBatch& batch)
{
    CQueryRunState& state = *m_pState;
    CStopSignalWatch watch(
        [state = m_pState] {
            state->RequestStop();
            state->CancelRunningStatement();
        },
        [this] { WriteAbandonedEnd(); }, kStopGrace, kFailed);

    std::string text;
    try {
        text = CQueryFileCodec::Decode(ReadFileToString(inputFile)).utf8;
    } catch (const CFileException& e) {
        TVMessageBox("'" + e.m_strFileName + "'.\n" + GetFileExceptionText(e.m_cause), wxOK | wxICON_STOP);
        return kFailed;
    }
    if (const size_t line = BatchSplitter::LineOfNulCharacter(text)) {
        TVMessageBox(wxString::FromUTF8(BatchSplitter::NulCharacterRefusal(inputFile.utf8_string(), line)) + "\n" +
                         kNothingRun,
                     wxOK | wxICON_STOP);
        return kFailed;
    }
    if (!Connect(connectString))
        return kFailed;

    CSaveOptions options;
    options.format = batch.format;
    options.path = batch.outputPath.utf8_string();
    options.delimiter = batch.delimiter.utf8_string();
    options.exportToExcel = batch.openInExcel;
    options.publish = batch.publish;
    if (options.publish)
        options.publishTitle = export_options::PublishTitle(GetPathFileName(inputFile).utf8_string());

    for (const Batch& piece : BatchSplitter(m_info.m_strBatchSeparator.utf8_string()).Split(text, &state.StopFlag()))
        state.QueueBatch({wxString::FromUTF8(piece.text), piece.position});
    state.SetRunningConnection(m_info.m_pConnection);
    bool errors = RunBatches(options);
    state.SetRunningConnection(nullptr);
    const bool stopped = state.IsStopRequested();
    if (!EndTransaction(!stopped && !errors))
        errors = true;
    try {
        m_info.m_pConnection->Close();
    } catch (const _com_error&) {
        // The transaction has ended and the outcome is decided; the process exit drops the connection.
    }
    // Past every call that could block: from here the run ends by itself.
    watch.Finish();

    const CRunEndTexts end = GetRunEndTexts(stopped, errors, false, state.IsOutputEmpty(true));
    if (!end.outputText.empty())
        state.AppendOutput(true, end.outputText);

    WriteNewOutput();
    WriteStatus(end.statusText);
    return stopped || errors ? kFailed : kSucceeded;
}
