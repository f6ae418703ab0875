// The Driver Information page: names, versions and conformance levels of the data source, the
// DBMS and the driver.
#pragma once

#include "InfoPageModel.h"

#include <array>

namespace ferrow {

class DriverInfoModel final : public InfoPageModel {
public:
    enum Field {
        DataSourceName,
        DatabaseName,
        UserName,
        ServerName,
        DbmsName,
        DbmsVersion,
        DriverName,
        DriverVersion,
        DriverOdbcVersion,
        OdbcVersion,
        ApiConformance,
        SqlConformance,
        SagConformance,
        OptionalIef,
        ActiveConnections,
        ActiveStatements,
        MultipleResultSets,
        FileUsage,
        ReadWriteStatus,
        AccessibleProcedures,
        AccessibleTables,
        FieldCount
    };
    struct FieldSpec {
        Field field;
        const char* label; // beside the value on the page
        uint16_t infoType;
    };
    // In page order.
    static const std::array<FieldSpec, FieldCount>& Fields();

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    std::array<std::string, FieldCount> texts;
};

} // namespace ferrow
