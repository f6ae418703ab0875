#include "common/ErrorText.h"
#include "common/FileException.h"

#include "ado/OdbcError.h"
#include "tests/support/TestDatabases.h"

#include "WxStringPrinter.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using ado::detail::ErrorList;
using ado::detail::ErrorRecord;

ErrorRecord Record(std::string description, std::string state = "42000", long native = 1,
                   std::string source = "Provider")
{
    ErrorRecord r;
    r.description = std::move(description);
    r.sqlState = std::move(state);
    r.nativeError = native;
    r.source = std::move(source);
    return r;
}

wxString ErrorsText(std::vector<ErrorRecord> records, bool descriptionsOnly)
{
    ErrorList errors;
    errors.Set(std::move(records));
    wxString text = "stale";
    FormatAdoErrors(errors, descriptionsOnly, text);
    return text;
}

TEST(AdoErrorsText, FormatsErrorsWithDescriptions)
{
    const struct {
        const char* name;
        std::vector<ErrorRecord> records;
        bool descriptionsOnly;
        const char* text;
    } cases[] = {
        {"an error without description adds nothing, no trailing breaks",
         {Record("  \n"), Record(" near \"x\": syntax error \n", "HY000", 1, "SQLite")},
         false,
         "near \"x\": syntax error\nState: HY000, Native: 1, Source: SQLite"},
        {"items separated by a blank line",
         {Record("first", "01000", -5, "A"), Record("second", "42S02", 208, "B")},
         false,
         "first\nState: 01000, Native: -5, Source: A\n\nsecond\nState: 42S02, Native: 208, Source: B"},
        {"descriptions only", {Record("first"), Record(""), Record("second")}, true, "first\n\nsecond"},
        {"no error has a description", {Record(""), Record("\t")}, false, ""},
        {"empty collection", {}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorsText(c.records, c.descriptionsOnly), wxString::FromUTF8(c.text));
    }
}

TEST(AdoErrorsText, NullConnectionGivesEmptyText)
{
    wxString text = "stale";
    FormatAdoErrors(static_cast<const ado::Connection*>(nullptr), false, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(GetProviderErrorsText(nullptr), "");
}

TEST(ComErrorText, FormatsHResultMessageAndErrorInformation)
{
    const struct {
        const char* name;
        _com_error error;
        const char* text;
    } cases[] = {
        {"no error information", _com_error(E_FAIL), "HRESULT: 0x80004005; Error: Unspecified error"},
        {"with source and description", _com_error(E_FAIL, "Login failed.", "ADODB.Connection"),
         "HRESULT: 0x80004005; Error: Unspecified error\nSource: ADODB.Connection; Description: Login failed."},
        {"hex digits in lower case", _com_error(E_UNEXPECTED, "Item cannot be found.", "ADODB.Fields"),
         "HRESULT: 0x8000ffff; Error: Catastrophic failure\nSource: ADODB.Fields; Description: Item cannot be found."},
        {"trimmed", _com_error(E_POINTER, "Bad pointer\r\n", ""),
         "HRESULT: 0x80004003; Error: Invalid pointer\nSource: ; Description: Bad pointer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetComErrorText(c.error), c.text);
    }
}

TEST(ConnectionErrorText, ProviderErrorsElseTheComError)
{
    auto cn = ado::Connection::Create();
    cn->Open(torvane::test::NewSqliteConnectionString());
    try {
        cn->Execute("select * from no_such_table");
        FAIL() << "the statement must fail";
    } catch (const _com_error& e) {
        const wxString providerErrors = GetProviderErrorsText(cn.get());
        EXPECT_TRUE(providerErrors.Contains("no such table")) << providerErrors;
        EXPECT_EQ(GetConnectionErrorText(cn.get(), e), providerErrors);

        cn->GetErrors()->Clear();
        EXPECT_EQ(GetConnectionErrorText(cn.get(), e), GetComErrorText(e));
        EXPECT_EQ(GetConnectionErrorText(nullptr, e), GetComErrorText(e));
    }
}

TEST(SystemErrorText, ErrnoAsComErrorAndLastError)
{
    EXPECT_EQ(FormatErrnoAsComError(ENOENT), "HRESULT: 0x80070002; Error: No such file or directory");
    EXPECT_EQ(FormatErrnoAsComError(ENOTDIR), "HRESULT: 0x80070014; Error: Not a directory");

    errno = 0;
    EXPECT_EQ(GetLastErrorText(), "");
    errno = EACCES;
    EXPECT_EQ(GetLastErrorText(), "Permission denied");
}

TEST(FileExceptionText, SentencePerCause)
{
    const struct {
        int cause;
        const char* text;
    } cases[] = {
        {0, "An unspecified error occurred."},
        {1, "An unspecified error occurred."},
        {2, "The file could not be located."},
        {3, "All or part of the path is invalid."},
        {4, "The permitted number of open files was exceeded."},
        {5, "The file could not be accessed."},
        {6, "There was an attempt to use an invalid file handle."},
        {7, "The current working directory cannot be removed."},
        {8, "There are no more directory entries."},
        {9, "There was an error trying to set the file pointer."},
        {10, "There was a hardware error."},
        {11, "SHARE.EXE was not loaded, or a shared region was locked."},
        {12, "There was an attempt to lock a region that was already locked."},
        {13, "The disk is full."},
        {14, "The end of file was reached."},
        {15, "An unspecified error occurred."},
        {-1, "An unspecified error occurred."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        EXPECT_EQ(GetFileExceptionText(c.cause), c.text);
    }
}

TEST(FileExceptionText, CauseFromSystemError)
{
    const struct {
        int error;
        int cause;
    } cases[] = {
        {ENOENT, CFileException::fileNotFound}, {ENOTDIR, CFileException::badPath},
        {EMFILE, CFileException::tooManyOpenFiles}, {EACCES, CFileException::accessDenied},
        {EISDIR, CFileException::accessDenied}, {EBADF, CFileException::invalidFile},
        {ESPIPE, CFileException::badSeek}, {EIO, CFileException::hardIO},
        {ENOSPC, CFileException::diskFull}, {EDQUOT, CFileException::diskFull},
        {EINVAL, CFileException::genericException},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(CFileException::ErrnoToCause(c.error), c.cause);
    }
}

} // namespace
