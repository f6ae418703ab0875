// The Limits page: the driver's maximum lengths, counts and sizes, and the intervals its
// TIMESTAMPADD and TIMESTAMPDIFF functions accept.
#pragma once

#include "InfoPageModel.h"

#include <array>
#include <vector>

namespace ferrow {

class LimitsModel final : public InfoPageModel {
public:
    enum Kind { Dword, Word, YesNo };
    struct LimitSpec {
        const char* label;       // on the page
        const char* reportLabel; // right-aligned to 25
        uint16_t infoType;
        Kind kind;
    };
    static constexpr size_t kLimitCount = 19;
    static const std::array<LimitSpec, kLimitCount>& Limits();

    struct Interval {
        const char* name;
        uint32_t bit;
    };
    // Second Fraction, Second, ..., Year.
    static const std::array<Interval, 9>& Intervals();

    // The intervals of TIMESTAMPADD (add) or TIMESTAMPDIFF: nullopt when the function itself is
    // not supported, else which intervals are, in interval order.
    static std::optional<std::vector<bool>> ReadIntervals(InfoSource& source, bool add);

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    std::array<std::string, kLimitCount> texts;
    std::optional<std::vector<bool>> addIntervals, diffIntervals;
};

} // namespace ferrow
