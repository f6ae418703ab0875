// The Functions page: the ODBC API functions the driver offers (SQLGetFunctions) and the
// scalar functions its SQL accepts (the SQLGetInfo function masks).
#pragma once

#include "InfoPageModel.h"

#include <vector>

namespace ferrow {

struct FunctionEntry {
    std::string name;
    std::string category; // the scalar function's family; empty for API functions
    bool supported = false;
};

class FunctionsModel final : public InfoPageModel {
public:
    struct ApiFunction {
        uint16_t id;
        const char* name;
    };
    struct ScalarFunction {
        const char* name;
        uint32_t bit;
    };
    struct ScalarFamily {
        const char* header; // report section title
        const char* category;
        uint16_t infoType;
        std::vector<ScalarFunction> functions;
    };
    // The 23 core functions (ids 1 to 23), then the 33 extension functions (ids 40 to 72).
    static const std::vector<ApiFunction>& ApiFunctions();
    // Conversion, numeric, string, system and time/date functions: 64 in all.
    static const std::vector<ScalarFamily>& ScalarFamilies();

    // Lists every function; without a connection all of them unsupported.
    void FetchInfo(InfoSource& source) override;
    // Asks the driver again: the section follows the driver, not the page's current order.
    void WriteReport(InfoSource& source, std::string& out) override;

    std::vector<FunctionEntry> apiFunctions;
    std::vector<FunctionEntry> sqlFunctions;
};

} // namespace ferrow
