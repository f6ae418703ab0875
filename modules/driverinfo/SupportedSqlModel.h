// The Supported SQL page: which parts of the SQL grammar the driver accepts.
#pragma once

#include "InfoPageModel.h"

namespace ferrow {

class SupportedSqlModel final : public InfoPageModel {
public:
    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    bool alterAdd = false, alterDrop = false;
    std::string columnAliases, correlationNames, orderByExpressions, groupBy, likeEscape, orderByInSelect, outerJoins;
    bool positionedDelete = false, positionedUpdate = false, selectForUpdate = false;
    bool subqueryComparison = false, subqueryExists = false, subqueryIn = false, subqueryQuantified = false,
         subqueryCorrelated = false;
    bool unionPlain = false, unionAll = false;
};

} // namespace ferrow
