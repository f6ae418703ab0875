// A save run on a real database without a window: the run state no window reads, the
// connection the run uses, a fresh folder for its files, and the run itself as Execute and
// Save As starts it (the worker executes, messages go to the text output).
#pragma once

#include "querycore/SaveWorker.h"
#include "tests/support/DetachedRunState.h"
#include "tests/support/TestDatabases.h"
#include "tests/support/TestFiles.h"

#include <filesystem>
#include <mutex>
#include <string>

namespace torvane::test {

class SaveRunTest : public DatabaseTest {
protected:
    // After the test's tables exist: the run's connection and an empty folder named with suffix.
    void OpenRun(const std::string& suffix)
    {
        m_connection = ado::Connection::Create();
        m_connection->Open(ConnectionString());
        m_folder = NewTempPath(suffix);
        std::filesystem::create_directory(m_folder);
    }
    void TearDown() override
    {
        if (m_connection && m_connection->GetState() != ado::adStateClosed)
            m_connection->Close();
    }

    int Run(const std::string& sql, const CSaveOptions& options)
    {
        CSaveBlock block;
        block.state = m_state;
        block.connection = m_connection;
        block.batch = sql;
        block.workerExecutes = true;
        block.multipleResults = m_connection->GetProperties()->GetItem("Multiple Results")->GetValue().ToLong() != 0;
        block.textOutput = true;
        block.options = options;
        return RunSaveBatch(block);
    }
    wxString Output() const
    {
        return m_state->CopyTextOutput();
    }

    std::shared_ptr<CQueryRunState> m_state = DetachedRunState();
    ado::ConnectionPtr m_connection;
    std::filesystem::path m_folder;
};

} // namespace torvane::test
