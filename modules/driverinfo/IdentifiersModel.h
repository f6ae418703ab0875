// The Identifiers page: how the driver treats identifiers, the ODBC reserved keywords and the
// driver's own keywords.
#pragma once

#include "InfoPageModel.h"

#include <vector>

namespace ferrow {

class IdentifiersModel final : public InfoPageModel {
public:
    // The words of a comma-separated list in order; an empty last word is dropped.
    static std::vector<std::string> SplitKeywords(const std::string& list);
    // Sorted as the page lists them: letter case ignored, then byte order.
    static std::vector<std::string> SortedKeywords(std::vector<std::string> words);
    // The 235 ODBC keywords, sorted.
    static const std::vector<std::string>& OdbcKeywords();

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    std::string identifierCase, quoteChar, ownerTerm, procedureTerm, qualifierLocation, qualifierSeparator,
        qualifierTerm, quotedIdentifierCase, searchPatternEscape, specialCharacters, tableTerm;
    std::vector<std::string> driverKeywords; // sorted
};

} // namespace ferrow
