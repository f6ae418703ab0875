#include "DriverInfoModel.h"

#include <sqlext.h>

#include <fmt/format.h>

namespace ferrow {

namespace {

std::string LimitText(const std::optional<uint16_t>& answer)
{
    if (!answer)
        return kNotReported;
    return *answer == 0 ? std::string("No Limit") : fmt::format("{}", *answer);
}

} // namespace

const std::array<DriverInfoModel::FieldSpec, DriverInfoModel::FieldCount>& DriverInfoModel::Fields()
{
    static const std::array<FieldSpec, FieldCount> fields{{
        {DataSourceName, "Data Source Name:", SQL_DATA_SOURCE_NAME},
        {DatabaseName, "Database Name:", SQL_DATABASE_NAME},
        {UserName, "User Name:", SQL_USER_NAME},
        {ServerName, "Server Name:", SQL_SERVER_NAME},
        {DbmsName, "DBMS Name:", SQL_DBMS_NAME},
        {DbmsVersion, "DBMS Version:", SQL_DBMS_VER},
        {DriverName, "Driver Name:", SQL_DRIVER_NAME},
        {DriverVersion, "Driver Version:", SQL_DRIVER_VER},
        {DriverOdbcVersion, "Driver ODBC Version:", SQL_DRIVER_ODBC_VER},
        {OdbcVersion, "ODBC Version:", SQL_ODBC_VER},
        {ApiConformance, "ODBC API Conformance:", SQL_ODBC_API_CONFORMANCE},
        {SqlConformance, "ODBC SQL Conformance:", SQL_ODBC_SQL_CONFORMANCE},
        {SagConformance, "SAG Compliant:", SQL_ODBC_SAG_CLI_CONFORMANCE},
        {OptionalIef, "Optional IEF:", SQL_ODBC_SQL_OPT_IEF},
        {ActiveConnections, "Active Connections:", SQL_ACTIVE_CONNECTIONS},
        {ActiveStatements, "Active Statements:", SQL_ACTIVE_STATEMENTS},
        {MultipleResultSets, "Multiple Result Sets:", SQL_MULT_RESULT_SETS},
        {FileUsage, "File Usage:", SQL_FILE_USAGE},
        {ReadWriteStatus, "Read-Write Status:", SQL_DATA_SOURCE_READ_ONLY},
        {AccessibleProcedures, "Accessible Procedures:", SQL_ACCESSIBLE_PROCEDURES},
        {AccessibleTables, "Accessible Tables:", SQL_ACCESSIBLE_TABLES},
    }};
    return fields;
}

void DriverInfoModel::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    auto text = [&](Field f) { return source.GetInfoString(Fields()[f].infoType).value_or(kNotReported); };
    for (Field f : {DataSourceName, UserName, ServerName, DatabaseName, DbmsName, DbmsVersion, DriverName,
                    DriverVersion, DriverOdbcVersion, OdbcVersion})
        texts[f] = text(f);
    SetCodedText(texts[ApiConformance], source.GetInfoWord(SQL_ODBC_API_CONFORMANCE),
                 {{0, "Core"}, {1, "Level 1"}, {2, "Level 2"}});
    SetCodedText(texts[SqlConformance], source.GetInfoWord(SQL_ODBC_SQL_CONFORMANCE),
                 {{0, "Minimum"}, {1, "Core"}, {2, "Extended"}});
    SetCodedText(texts[SagConformance], source.GetInfoWord(SQL_ODBC_SAG_CLI_CONFORMANCE), {{0, "No"}, {1, "Yes"}});
    texts[OptionalIef] = GetInfoSupported(source, SQL_ODBC_SQL_OPT_IEF);
    texts[ActiveConnections] = LimitText(source.GetInfoWord(SQL_ACTIVE_CONNECTIONS));
    texts[ActiveStatements] = LimitText(source.GetInfoWord(SQL_ACTIVE_STATEMENTS));
    texts[MultipleResultSets] = GetInfoSupported(source, SQL_MULT_RESULT_SETS);
    SetCodedText(texts[FileUsage], source.GetInfoWord(SQL_FILE_USAGE),
                 {{0, "<n/a>, Driver not single-tier"}, {1, "Files are Tables"}, {2, "Files are Qualifiers"}});
    SetLetterText(texts[ReadWriteStatus], source.GetInfoString(SQL_DATA_SOURCE_READ_ONLY),
                  {{"Y", "Data source is read-only"}, {"N", "Data source is read-write"}});
    texts[AccessibleProcedures] = GetInfoYesNo(source, SQL_ACCESSIBLE_PROCEDURES);
    texts[AccessibleTables] = GetInfoYesNo(source, SQL_ACCESSIBLE_TABLES);
}

void DriverInfoModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    const auto& t = texts;
    out += "Driver Info\n-----------\n";
    out += "     Data Source Name - " + t[DataSourceName] + "\n";
    out += "        Database Name - " + t[DatabaseName] + "\n";
    out += "            User Name - " + t[UserName] + "\n";
    out += "          Server Name - " + t[ServerName] + "\n";
    out += "                 DBMS - " + t[DbmsName] + " version " + t[DbmsVersion] + "\n";
    out += "               Driver - " + t[DriverName] + " version " + t[DriverVersion] + "\n";
    out += "     Driver ODBC Ver. - " + t[DriverOdbcVersion] + "\n";
    out += "         ODBC Version - " + t[OdbcVersion] + "\n";
    out += "      API Conformance - " + t[ApiConformance] + "\n";
    out += "      SQL Conformance - " + t[SqlConformance] + "\n";
    out += "  SAG CLI Conformance - " + t[SagConformance] + "\n";
    out += "     Optional SQL IEF - " + t[OptionalIef] + "\n";
    out += "   Active Connections - " + t[ActiveConnections] + "\n";
    out += "    Active Statements - " + t[ActiveStatements] + "\n";
    out += " Multiple Result Sets - " + t[MultipleResultSets] + "\n";
    out += "           File Usage - " + t[FileUsage] + "\n";
    out += "    Read/Write Status - " + t[ReadWriteStatus] + "\n";
    out += "Accessible Procedures - " + t[AccessibleProcedures] + "\n";
    out += "    Accessible Tables - " + t[AccessibleTables] + "\n\n";
}

} // namespace ferrow
