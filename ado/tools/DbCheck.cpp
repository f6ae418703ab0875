// torvane-dbcheck: opens a connection through the data layer, runs SQL and prints every
// result set as CSV on standard output; row counts, provider messages and errors go to
// standard error.
//
//   torvane-dbcheck [--cache-size ROWS] CONNECTION_STRING [SQL ...]
//
// SQL "-" reads the batch from standard input. Exit status 0 on success, 1 on an error,
// 2 for a usage error.
#include "CsvWriter.h"

#include "ado/Ado.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

class MessagePrinter : public ado::ConnectionEvents {
public:
    void InfoMessage(ado::Error*, ado::EventStatusEnum*, ado::Connection* connection) override
    {
        auto errors = connection->GetErrors();
        for (long i = 0; i < errors->GetCount(); ++i)
            std::fprintf(stderr, "%s\n", errors->GetItem(i)->GetDescription().c_str());
    }
};

void PrintErrors(const ado::ConnectionPtr& cn, const _com_error& e)
{
    auto errors = cn ? cn->GetErrors() : nullptr;
    if (!errors || errors->GetCount() == 0) {
        std::fprintf(stderr, "Error: %s (0x%08X)\n", e.what(), static_cast<unsigned>(e.Error()));
        return;
    }
    for (long i = 0; i < errors->GetCount(); ++i) {
        auto item = errors->GetItem(i);
        std::fprintf(stderr, "Error: %s\nState: %s, Native: %ld, Source: %s\n", item->GetDescription().c_str(),
                     item->GetSQLState().c_str(), item->GetNativeError(), item->GetSource().c_str());
    }
}

// Result sets are separated by an empty line; printed tells whether one came before.
void PrintResults(ado::RecordsetPtr rs, CsvWriter& csv, bool& printed)
{
    _variant_t affected(-1L);
    std::string cell;
    while (rs) {
        if (rs->GetState() == ado::adStateOpen) {
            if (printed)
                csv.EndRow();
            printed = true;
            auto fields = rs->GetFields();
            const long count = fields->GetCount();
            std::vector<bool> binary;
            for (long i = 0; i < count; ++i) {
                auto f = fields->GetItem(i);
                csv.Text(f->GetName());
                auto type = f->GetType();
                binary.push_back(type == ado::adBinary || type == ado::adVarBinary || type == ado::adLongVarBinary);
            }
            csv.EndRow();
            for (; !rs->IsEOF(); rs->MoveNext()) {
                for (long i = 0; i < count; ++i) {
                    cell.clear();
                    if (!rs->AppendCellText(i, cell))
                        csv.Null();
                    else if (binary[static_cast<size_t>(i)])
                        csv.Bytes(cell);
                    else
                        csv.Text(cell);
                }
                csv.EndRow();
            }
        } else if (affected.ToLong() != -1) {
            csv.Flush();
            std::fprintf(stderr, "(%d row(s) affected)\n", affected.ToLong());
        }
        rs = rs->NextRecordset(&affected);
    }
}

} // namespace

int main(int argc, char** argv)
{
    long cacheSize = 1000;
    int arg = 1;
    if (arg + 1 < argc && std::string(argv[arg]) == "--cache-size") {
        cacheSize = std::atol(argv[arg + 1]);
        arg += 2;
    }
    if (arg >= argc || cacheSize <= 0) {
        std::fprintf(stderr, "usage: %s [--cache-size ROWS] CONNECTION_STRING [SQL ...]\n", argv[0]);
        return 2;
    }
    ado::ConnectionPtr cn;
    MessagePrinter messages;
    try {
        cn = ado::Connection::Create();
        cn->Advise(&messages);
        cn->Open(argv[arg++]);
        auto props = cn->GetProperties();
        std::fprintf(stderr, "Connected to %s %s through %s %s\n", props->GetItem("DBMS Name")->GetValue().ToString().c_str(),
                     props->GetItem("DBMS Version")->GetValue().ToString().c_str(),
                     props->GetItem("Driver Name")->GetValue().ToString().c_str(),
                     props->GetItem("Driver Version")->GetValue().ToString().c_str());
        CsvWriter csv(stdout);
        bool printed = false;
        for (; arg < argc; ++arg) {
            std::string sql = argv[arg];
            if (sql == "-")
                sql.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
            auto rs = ado::Recordset::Create();
            rs->PutCacheSize(cacheSize);
            rs->Open(_variant_t(sql), cn, ado::adOpenForwardOnly, ado::adLockReadOnly, ado::adCmdText);
            PrintResults(rs, csv, printed);
        }
        csv.Flush();
        cn->Close();
    } catch (const _com_error& e) {
        std::fflush(stdout);
        PrintErrors(cn, e);
        return 1;
    }
    return 0;
}
