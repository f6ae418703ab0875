// A calendar date and time of day broken into its fields, as databases deliver dates and as
// the persistence formats write them. 1899-12-30 00:00:00 is the zero of VT_DATE.
#pragma once

#include <cstdint>

namespace ado {

struct DateParts {
    int year = 1899;
    unsigned month = 12;
    unsigned day = 30;
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
    uint32_t nanosecond = 0;
};

} // namespace ado
