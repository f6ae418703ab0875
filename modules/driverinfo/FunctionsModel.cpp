#include "FunctionsModel.h"

#include <sqlext.h>

namespace ferrow {

const std::vector<FunctionsModel::ApiFunction>& FunctionsModel::ApiFunctions()
{
    static const std::vector<ApiFunction> functions = [] {
        const char* const core[] = {"SQLAllocConnect", "SQLAllocEnv",      "SQLAllocStmt",   "SQLBindCol",
                                    "SQLCancel",       "SQLColAttributes", "SQLConnect",     "SQLDescribeCol",
                                    "SQLDisconnect",   "SQLError",         "SQLExecDirect",  "SQLExecute",
                                    "SQLFetch",        "SQLFreeConnect",   "SQLFreeEnv",     "SQLFreeStmt",
                                    "SQLGetCursorName", "SQLNumResultCols", "SQLPrepare",    "SQLRowCount",
                                    "SQLSetCursorName", "SQLSetParam",     "SQLTransact"};
        const char* const extension[] = {
            "SQLColumns",         "SQLDriverConnect", "SQLGetConnectOption", "SQLGetData",       "SQLGetFunctions",
            "SQLGetInfo",         "SQLGetStmtOption", "SQLGetTypeInfo",      "SQLParamData",     "SQLPutData",
            "SQLSetConnectOption", "SQLSetStmtOption", "SQLSpecialColumns",  "SQLStatistics",    "SQLTables",
            "SQLBrowseConnect",   "SQLColumnPrivileges", "SQLDataSources",   "SQLDescribeParam", "SQLExtendedFetch",
            "SQLForeignKeys",     "SQLMoreResults",   "SQLNativeSql",        "SQLNumParams",     "SQLParamOptions",
            "SQLPrimaryKeys",     "SQLProcedureColumns", "SQLProcedures",    "SQLSetPos",        "SQLSetScrollOptions",
            "SQLTablePrivileges", "SQLDrivers",       "SQLBindParameter"};
        std::vector<ApiFunction> all;
        uint16_t id = 1;
        for (const char* name : core)
            all.push_back({id++, name});
        id = 40;
        for (const char* name : extension)
            all.push_back({id++, name});
        return all;
    }();
    return functions;
}

const std::vector<FunctionsModel::ScalarFamily>& FunctionsModel::ScalarFamilies()
{
    static const std::vector<ScalarFamily> families{
        {"SQL Conversion Functions", "Conversion", SQL_CONVERT_FUNCTIONS, {{"Convert()", SQL_FN_CVT_CONVERT}}},
        {"SQL Numeric Functions",
         "Numeric",
         SQL_NUMERIC_FUNCTIONS,
         {{"Abs()", SQL_FN_NUM_ABS},         {"Acos()", SQL_FN_NUM_ACOS},       {"Asin()", SQL_FN_NUM_ASIN},
          {"Atan()", SQL_FN_NUM_ATAN},       {"Atan2()", SQL_FN_NUM_ATAN2},     {"Ceiling()", SQL_FN_NUM_CEILING},
          {"Cos()", SQL_FN_NUM_COS},         {"Cot()", SQL_FN_NUM_COT},         {"Degrees()", SQL_FN_NUM_DEGREES},
          {"Exp()", SQL_FN_NUM_EXP},         {"Floor()", SQL_FN_NUM_FLOOR},     {"Log()", SQL_FN_NUM_LOG},
          {"Log10()", SQL_FN_NUM_LOG10},     {"Mod()", SQL_FN_NUM_MOD},         {"Pi()", SQL_FN_NUM_PI},
          {"Power()", SQL_FN_NUM_POWER},     {"Radians()", SQL_FN_NUM_RADIANS}, {"Rand()", SQL_FN_NUM_RAND},
          {"Round()", SQL_FN_NUM_ROUND},     {"Sign()", SQL_FN_NUM_SIGN},       {"Sin()", SQL_FN_NUM_SIN},
          {"Sqrt()", SQL_FN_NUM_SQRT},       {"Tan()", SQL_FN_NUM_TAN},         {"Truncate()", SQL_FN_NUM_TRUNCATE}}},
        {"SQL String Functions",
         "String",
         SQL_STRING_FUNCTIONS,
         {{"Ascii()", SQL_FN_STR_ASCII},     {"Char()", SQL_FN_STR_CHAR},       {"Concat()", SQL_FN_STR_CONCAT},
          {"Difference()", SQL_FN_STR_DIFFERENCE}, {"Insert()", SQL_FN_STR_INSERT}, {"LCase()", SQL_FN_STR_LCASE},
          {"Left()", SQL_FN_STR_LEFT},       {"Lenght()", SQL_FN_STR_LENGTH},   {"Locate()", SQL_FN_STR_LOCATE},
          {"Locate2()", SQL_FN_STR_LOCATE_2}, {"LTrim()", SQL_FN_STR_LTRIM},    {"Repeat()", SQL_FN_STR_REPEAT},
          {"Replace()", SQL_FN_STR_REPLACE}, {"Right()", SQL_FN_STR_RIGHT},     {"RTrim()", SQL_FN_STR_RTRIM},
          {"Soundex()", SQL_FN_STR_SOUNDEX}, {"Space()", SQL_FN_STR_SPACE},     {"Substring()", SQL_FN_STR_SUBSTRING},
          {"UCase()", SQL_FN_STR_UCASE}}},
        {"SQL System Functions",
         "System",
         SQL_SYSTEM_FUNCTIONS,
         {{"DBName()", SQL_FN_SYS_DBNAME}, {"IfNull()", SQL_FN_SYS_IFNULL}, {"UserName()", SQL_FN_SYS_USERNAME}}},
        {"SQL Time/Date Functions",
         "TimeDate",
         SQL_TIMEDATE_FUNCTIONS,
         {{"CurDate()", SQL_FN_TD_CURDATE},     {"CurTime()", SQL_FN_TD_CURTIME},
          {"DayName()", SQL_FN_TD_DAYNAME},     {"DayOfMonth()", SQL_FN_TD_DAYOFMONTH},
          {"DayOfWeek()", SQL_FN_TD_DAYOFWEEK}, {"DayOfYear()", SQL_FN_TD_DAYOFYEAR},
          {"Hour()", SQL_FN_TD_HOUR},           {"Minute()", SQL_FN_TD_MINUTE},
          {"Month()", SQL_FN_TD_MONTH},         {"MonthName()", SQL_FN_TD_MONTHNAME},
          {"Now()", SQL_FN_TD_NOW},             {"Quarter()", SQL_FN_TD_QUARTER},
          {"Second()", SQL_FN_TD_SECOND},       {"TimeStampAdd()", SQL_FN_TD_TIMESTAMPADD},
          {"TimeStampDiff()", SQL_FN_TD_TIMESTAMPDIFF}, {"Week()", SQL_FN_TD_WEEK},
          {"Year()", SQL_FN_TD_YEAR}}},
    };
    return families;
}

void FunctionsModel::FetchInfo(InfoSource& source)
{
    const bool connected = source.IsConnected();
    const FunctionFlags flags = connected ? source.GetFunctions() : FunctionFlags{};
    apiFunctions.clear();
    for (const ApiFunction& f : ApiFunctions())
        apiFunctions.push_back({f.name, {}, flags[f.id] != 0});
    sqlFunctions.clear();
    for (const ScalarFamily& family : ScalarFamilies()) {
        const uint32_t mask = connected ? GetInfoMask(source, family.infoType) : 0;
        for (const ScalarFunction& f : family.functions)
            sqlFunctions.push_back({f.name, family.category, (mask & f.bit) != 0});
    }
}

namespace {

void FunctionLine(std::string& out, const std::string& name, bool supported)
{
    if (name.size() < 21)
        out += std::string(21 - name.size(), ' ');
    out += name + (supported ? " - Supported\n" : " - Not Supported\n");
}

} // namespace

void FunctionsModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += SectionTitle("ODBC API Functions");
    const FunctionFlags flags = source.GetFunctions();
    for (const ApiFunction& f : ApiFunctions())
        FunctionLine(out, f.name, flags[f.id] != 0);
    for (const ScalarFamily& family : ScalarFamilies()) {
        out += "\n" + SectionTitle(family.header);
        const uint32_t mask = GetInfoMask(source, family.infoType);
        for (const ScalarFunction& f : family.functions)
            FunctionLine(out, f.name, (mask & f.bit) != 0);
    }
    out += "\n";
}

} // namespace ferrow
