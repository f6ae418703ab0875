#include "TestDatabases.h"

#include <sql.h>
#include <sqlext.h>

#include <fmt/format.h>

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace torvane::test {

namespace {

std::u16string Utf16(const std::string& s)
{
    std::u16string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 0x6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 0xE) { cp = c & 0x0F; n = 3; }
        else { cp = c & 0x07; n = 4; }
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

SQLWCHAR* W(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }

std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::string out;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR msg[2048] = {};
        SQLSMALLINT len = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecA(type, handle, i, state, &native, msg, sizeof msg, &len)))
            break;
        out += fmt::format("{}[{}] {}", out.empty() ? "" : "; ", reinterpret_cast<char*>(state),
                           reinterpret_cast<char*>(msg));
    }
    return out.empty() ? "no diagnostics" : out;
}

// Plain ODBC connection for fixtures.
class RawConnection {
public:
    explicit RawConnection(const std::string& connectionString)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        std::u16string cs = Utf16(connectionString);
        SQLRETURN rc = SQLDriverConnectW(m_dbc, nullptr, W(cs), static_cast<SQLSMALLINT>(cs.size()), nullptr, 0,
                                         nullptr, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            std::string why = Diagnostics(SQL_HANDLE_DBC, m_dbc);
            Free();
            throw std::runtime_error(fmt::format("cannot connect with \"{}\": {}", connectionString, why));
        }
        m_connected = true;
        SQLCHAR driver[256] = {};
        SQLGetInfoA(m_dbc, SQL_DRIVER_NAME, driver, sizeof driver, nullptr);
        m_utf8Ansi = std::string_view(reinterpret_cast<const char*>(driver)).find("sqlite") != std::string_view::npos;
    }
    ~RawConnection() { Free(); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    void Exec(const std::string& sql)
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt);
        SQLRETURN rc;
        if (m_utf8Ansi) {
            std::string text = sql;
            rc = SQLExecDirectA(stmt, reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size()));
        } else {
            std::u16string text = Utf16(sql);
            rc = SQLExecDirectW(stmt, W(text), static_cast<SQLINTEGER>(text.size()));
        }
        std::string why;
        if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
            why = Diagnostics(SQL_HANDLE_STMT, stmt);
        else
            while (SQL_SUCCEEDED(SQLMoreResults(stmt))) {
            }
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        if (!why.empty())
            throw std::runtime_error(fmt::format("{}\nwhile running: {}", why, sql));
    }

private:
    void Free()
    {
        if (m_connected)
            SQLDisconnect(m_dbc);
        m_connected = false;
        if (m_dbc)
            SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        if (m_env)
            SQLFreeHandle(SQL_HANDLE_ENV, m_env);
        m_dbc = m_env = SQL_NULL_HANDLE;
    }

    SQLHENV m_env = SQL_NULL_HENV;
    SQLHDBC m_dbc = SQL_NULL_HDBC;
    bool m_connected = false;
    // The SQLite driver takes UTF-8 as it stands only through its ANSI entry points: through
    // the wide ones it keeps one byte of each character.
    bool m_utf8Ansi = false;
};

std::string RandomSuffix()
{
    std::random_device rd;
    return fmt::format("{:08x}", rd());
}

// The process's temporary folder, removed when the process ends.
class TempFolder {
public:
    const std::filesystem::path& Path()
    {
        std::lock_guard lock(m_mutex);
        if (m_path.empty()) {
            std::string pattern = (std::filesystem::temp_directory_path() / "torvane-test.XXXXXX").string();
            if (!mkdtemp(pattern.data()))
                throw std::runtime_error("cannot create a temporary folder");
            m_path = pattern;
        }
        return m_path;
    }
    std::string NewPath(const std::string& suffix)
    {
        return (Path() / fmt::format("{}{}", ++m_counter, suffix)).string();
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ec);
    }

private:
    std::mutex m_mutex;
    std::filesystem::path m_path;
    std::atomic<int> m_counter{0};
};

TempFolder& Temp()
{
    static TempFolder folder;
    return folder;
}

// Replaces the Database attribute of a plain "key=value;..." string.
std::string WithDatabase(const std::string& connectionString, const std::string& database)
{
    std::string out;
    size_t pos = 0;
    while (pos < connectionString.size()) {
        size_t end = connectionString.find(';', pos);
        if (end == std::string::npos)
            end = connectionString.size();
        std::string part = connectionString.substr(pos, end - pos);
        pos = end + 1;
        std::string key = part.substr(0, part.find('='));
        std::string lower;
        for (char c : key)
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (part.empty() || lower == "database")
            continue;
        out += part + ";";
    }
    return out + "Database=" + database + ";";
}

class PostgresScratch {
public:
    std::string ConnectionString()
    {
        std::lock_guard lock(m_mutex);
        if (m_connectionString.empty()) {
            std::string admin = PostgresAdminConnectionString();
            std::string name = fmt::format("torvane_t{}_{}", getpid(), RandomSuffix());
            RawConnection(admin).Exec(fmt::format("CREATE DATABASE {}", name));
            m_name = name;
            m_connectionString = WithDatabase(admin, name);
        }
        return m_connectionString;
    }
    std::string Name()
    {
        ConnectionString();
        std::lock_guard lock(m_mutex);
        return m_name;
    }
    void Drop()
    {
        std::lock_guard lock(m_mutex);
        if (m_name.empty())
            return;
        try {
            RawConnection(PostgresAdminConnectionString())
                .Exec(fmt::format("DROP DATABASE IF EXISTS {} WITH (FORCE)", m_name));
        } catch (const std::exception&) {
            // The cluster is thrown away after the run; a leftover database does no harm.
        }
        m_name.clear();
        m_connectionString.clear();
    }

private:
    std::mutex m_mutex;
    std::string m_name;
    std::string m_connectionString;
};

PostgresScratch& Scratch()
{
    static PostgresScratch scratch;
    return scratch;
}

class DropScratchDatabase : public ::testing::Environment {
public:
    void TearDown() override { Scratch().Drop(); }
};

[[maybe_unused]] ::testing::Environment* const kDropScratch =
    ::testing::AddGlobalTestEnvironment(new DropScratchDatabase);

} // namespace

const char* DriverName(Driver driver)
{
    return driver == Driver::SQLite ? "SQLite" : "PostgreSQL";
}

std::string NewSqliteConnectionString()
{
    // An empty file is an empty database; the data layer opens existing files only.
    const std::string path = NewTempPath(".db");
    std::ofstream(path, std::ios::binary);
    return fmt::format("Driver=SQLite3;Database={};", path);
}

std::string NewTempPath(const std::string& suffix)
{
    return Temp().NewPath(suffix);
}

bool PostgresConfigured()
{
    const char* v = std::getenv("TORVANE_PG_CONNECT");
    return v && *v;
}

std::string PostgresAdminConnectionString()
{
    if (!PostgresConfigured())
        throw std::runtime_error("TORVANE_PG_CONNECT is not set: run the tests through scripts/test.sh, "
                                 "which starts the PostgreSQL test cluster");
    return std::getenv("TORVANE_PG_CONNECT");
}

std::string PostgresConnectionString()
{
    return Scratch().ConnectionString();
}

std::string PostgresDatabaseName()
{
    return Scratch().Name();
}

void ExecDirect(const std::string& connectionString, const std::string& sql)
{
    RawConnection(connectionString).Exec(sql);
}

std::string CleanDatabaseConnectionString(Driver driver)
{
    if (driver == Driver::SQLite)
        return NewSqliteConnectionString();
    std::string connect = PostgresConnectionString();
    RawConnection cn(connect);
    // Every schema a test made goes with public, whose objects it holds; the system's stay.
    cn.Exec("DO $$ DECLARE s name; BEGIN "
            "FOR s IN SELECT nspname FROM pg_namespace WHERE nspname NOT LIKE 'pg\\_%' "
            "AND nspname <> 'information_schema' LOOP "
            "EXECUTE format('DROP SCHEMA %I CASCADE', s); END LOOP; END $$");
    cn.Exec("CREATE SCHEMA public");
    return connect;
}

void DatabaseTest::SetUp()
{
    try {
        m_connectionString = CleanDatabaseConnectionString(GetParam());
    } catch (const std::exception& e) {
        GTEST_FAIL() << e.what();
    }
}

} // namespace torvane::test
