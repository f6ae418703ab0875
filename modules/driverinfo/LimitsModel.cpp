#include "LimitsModel.h"

#include <sqlext.h>

namespace ferrow {

const std::array<LimitsModel::LimitSpec, LimitsModel::kLimitCount>& LimitsModel::Limits()
{
    static const std::array<LimitSpec, kLimitCount> limits{{
        {"Maximum Binary Literal Length:", "Max Binary Literal Length", SQL_MAX_BINARY_LITERAL_LEN, Dword},
        {"Maximum Character Literal Length:", "Max Char Literal Length", SQL_MAX_CHAR_LITERAL_LEN, Dword},
        {"Maximum Column Name Length:", "Max Column Name Length", SQL_MAX_COLUMN_NAME_LEN, Word},
        {"Max Number of Columns in GROUP BY:", "Max Columns in GROUP BY", SQL_MAX_COLUMNS_IN_GROUP_BY, Word},
        {"Max Number of Columns in Index:", "Max Columns in Index", SQL_MAX_COLUMNS_IN_INDEX, Word},
        {"Max Number of Columns in ORDER BY:", "Max Columns in ORDER BY", SQL_MAX_COLUMNS_IN_ORDER_BY, Word},
        {"Max Number of Columns in SELECT:", "Max Columns in SELECT", SQL_MAX_COLUMNS_IN_SELECT, Word},
        {"Max Number of Columns in Table:", "Max Columns in Table", SQL_MAX_COLUMNS_IN_TABLE, Word},
        {"Maximum Cursor Name Length:", "Max Cursor Name Length", SQL_MAX_CURSOR_NAME_LEN, Word},
        {"Maximum Index Size:", "Max Index Size", SQL_MAX_INDEX_SIZE, Dword},
        {"Maximum Owner Name Length:", "Max Owner Name Length", SQL_MAX_OWNER_NAME_LEN, Word},
        {"Maximum Procedure Name Length:", "Max Procedure Name Length", SQL_MAX_PROCEDURE_NAME_LEN, Word},
        {"Maximum Qualifier Name Length:", "Max Qualifier Name Length", SQL_MAX_QUALIFIER_NAME_LEN, Word},
        {"Maximum Row Size:", "Max Row Size", SQL_MAX_ROW_SIZE, Dword},
        {"Max Row Size Includes Long:", "Max Rowsize Includes Long", SQL_MAX_ROW_SIZE_INCLUDES_LONG, YesNo},
        {"Maximum Statement Length:", "Max Statement Length", SQL_MAX_STATEMENT_LEN, Dword},
        {"Maximum Table Name Length:", "Max Table Name Length", SQL_MAX_TABLE_NAME_LEN, Word},
        {"Max Number of Tables in SELECT:", "Max Tables In SELECT", SQL_MAX_TABLES_IN_SELECT, Word},
        {"Maximum User Name Length:", "Max User Name Length", SQL_MAX_USER_NAME_LEN, Word},
    }};
    return limits;
}

const std::array<LimitsModel::Interval, 9>& LimitsModel::Intervals()
{
    static const std::array<Interval, 9> intervals{{
        {"Second Fraction", SQL_FN_TSI_FRAC_SECOND},
        {"Second", SQL_FN_TSI_SECOND},
        {"Minute", SQL_FN_TSI_MINUTE},
        {"Hour", SQL_FN_TSI_HOUR},
        {"Day", SQL_FN_TSI_DAY},
        {"Week", SQL_FN_TSI_WEEK},
        {"Month", SQL_FN_TSI_MONTH},
        {"Quarter", SQL_FN_TSI_QUARTER},
        {"Year", SQL_FN_TSI_YEAR},
    }};
    return intervals;
}

std::optional<std::vector<bool>> LimitsModel::ReadIntervals(InfoSource& source, bool add)
{
    if (!source.IsConnected())
        return std::nullopt;
    const uint32_t functions = GetInfoMask(source, SQL_TIMEDATE_FUNCTIONS);
    if (!(functions & (add ? SQL_FN_TD_TIMESTAMPADD : SQL_FN_TD_TIMESTAMPDIFF)))
        return std::nullopt;
    const uint32_t mask = GetInfoMask(source, add ? SQL_TIMEDATE_ADD_INTERVALS : SQL_TIMEDATE_DIFF_INTERVALS);
    std::vector<bool> set;
    for (const Interval& i : Intervals())
        set.push_back((mask & i.bit) != 0);
    return set;
}

void LimitsModel::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    for (size_t i = 0; i < kLimitCount; ++i) {
        const LimitSpec& spec = Limits()[i];
        texts[i] = spec.kind == Dword  ? FormatInfoDword(source, spec.infoType)
                   : spec.kind == Word ? FormatInfoWord(source, spec.infoType)
                                       : GetInfoYesNo(source, spec.infoType);
    }
    addIntervals = ReadIntervals(source, true);
    diffIntervals = ReadIntervals(source, false);
}

void LimitsModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += "Limits\n------\n\n";
    for (size_t i = 0; i < kLimitCount; ++i) {
        const std::string label = Limits()[i].reportLabel;
        out += std::string(25 - label.size(), ' ') + label + " - " + texts[i] + "\n";
    }
    out += "\n";
    for (bool add : {true, false}) {
        const char* header = add ? "Timestamp Add Intervals:" : "Timestamp Diff Intervals:";
        const std::optional<std::vector<bool>> set = ReadIntervals(source, add);
        if (!set) {
            out += std::string(header) + " <n/a>\n\n";
            continue;
        }
        std::string names;
        for (size_t i = 0; i < Intervals().size(); ++i)
            if ((*set)[i])
                names += (names.empty() ? "" : ",") + std::string(Intervals()[i].name);
        out += std::string(header) + "\n" + names + "\n\n";
    }
    out += "\n";
}

} // namespace ferrow
