#include "SupportedSqlModel.h"

#include <sqlext.h>

namespace ferrow {

void SupportedSqlModel::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    const uint32_t alter = GetInfoMask(source, SQL_ALTER_TABLE);
    alterAdd = alter & SQL_AT_ADD_COLUMN;
    alterDrop = alter & SQL_AT_DROP_COLUMN;
    columnAliases = GetInfoSupported(source, SQL_COLUMN_ALIAS);
    SetCodedText(correlationNames, source.GetInfoWord(SQL_CORRELATION_NAME),
                 {{0, "Not Supported"}, {1, "Supported, table names must be different"}, {2, "Supported"}});
    orderByExpressions = GetInfoSupported(source, SQL_EXPRESSIONS_IN_ORDERBY);
    SetCodedText(groupBy, source.GetInfoWord(SQL_GROUP_BY),
                 {{0, "GROUP BY Not Supported"},
                  {1, "GROUP BY Equals SELECT"},
                  {2, "GROUP BY Contains SELECT"},
                  {3, "No Relation"}});
    likeEscape = GetInfoSupported(source, SQL_LIKE_ESCAPE_CLAUSE);
    orderByInSelect = GetInfoYesNo(source, SQL_ORDER_BY_COLUMNS_IN_SELECT);
    SetLetterText(outerJoins, source.GetInfoString(SQL_OUTER_JOINS),
                  {{"N", "No"}, {"Y", "Yes"}, {"P", "Partial"}, {"F", "Full"}});
    const uint32_t positioned = GetInfoMask(source, SQL_POSITIONED_STATEMENTS);
    positionedDelete = positioned & SQL_PS_POSITIONED_DELETE;
    positionedUpdate = positioned & SQL_PS_POSITIONED_UPDATE;
    selectForUpdate = positioned & SQL_PS_SELECT_FOR_UPDATE;
    const uint32_t subqueries = GetInfoMask(source, SQL_SUBQUERIES);
    subqueryComparison = subqueries & SQL_SQ_COMPARISON;
    subqueryExists = subqueries & SQL_SQ_EXISTS;
    subqueryIn = subqueries & SQL_SQ_IN;
    subqueryQuantified = subqueries & SQL_SQ_QUANTIFIED;
    subqueryCorrelated = subqueries & SQL_SQ_CORRELATED_SUBQUERIES;
    const uint32_t unions = GetInfoMask(source, SQL_UNION);
    unionPlain = unions & SQL_U_UNION;
    unionAll = unions & SQL_U_UNION_ALL;
}

namespace {

// Only the first name carries a leading space; a later name written first follows the dash
// directly. none: what stands when no name is set.
std::string FlagList(std::initializer_list<std::pair<const char*, bool>> flags, const char* none)
{
    std::string text;
    bool first = true, written = false;
    for (const auto& [name, set] : flags) {
        if (set) {
            text += first ? " " : written ? "," : "";
            text += name;
            written = true;
        }
        first = false;
    }
    return written ? text : none;
}

} // namespace

void SupportedSqlModel::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += "Supported SQL\n-------------\n";
    out += "  ALTER TABLE Support -" + FlagList({{"ADD", alterAdd}, {"DROP", alterDrop}}, " <none>") + "\n";
    out += "       Column Aliases - " + columnAliases + "\n";
    out += "    Correlation Names - " + correlationNames + "\n";
    out += " ORDER BY Expressions - " + orderByExpressions + "\n";
    out += "GROUP BY NonAggregate - " + groupBy + "\n";
    out += "LIKE Escape Character - " + likeEscape + "\n";
    out += "   ORDER BY in SELECT - " + orderByInSelect + "\n";
    out += "   Outer Join Support - " + outerJoins + "\n";
    out += "Positioned Statements -" +
           FlagList({{"Delete", positionedDelete}, {"Update", positionedUpdate}, {"Select for Update", selectForUpdate}},
                    " <none>") +
           "\n";
    out += "     Subquery Support -" +
           FlagList({{"Correlated", subqueryCorrelated},
                     {"Comparison", subqueryComparison},
                     {"EXISTS", subqueryExists},
                     {"IN", subqueryIn},
                     {"Quantified", subqueryQuantified}},
                    "<none>") +
           "\n";
    out += "        UNION Support -" + FlagList({{"UNION", unionPlain}, {"UNION with ALL", unionAll}}, "<none>") + "\n\n";
}

} // namespace ferrow
