// The Misc. 1 page (transactions, bookmarks, lock types, static sensitivity) and the Misc. 2
// page (long data, NULLs, procedures, fetching, scrolling, owner and qualifier usage), which
// write the "Miscellaneous" report section together: Misc. 1 its first half with the header.
#pragma once

#include "InfoPageModel.h"

#include <array>
#include <vector>

namespace ferrow {

// A check box group: the label of each box and the bit it shows.
struct FlagSpec {
    const char* label;
    uint32_t bit;
};
struct FlagGroup {
    const char* title;
    uint16_t infoType;
    std::vector<FlagSpec> flags;
};

class Misc1Model final : public InfoPageModel {
public:
    static const FlagGroup& IsolationLevels();
    static const FlagGroup& BookmarkPersistence();
    static const FlagGroup& LockTypes();
    static const FlagGroup& StaticSensitivity();

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    std::string transactionCapable, commitBehavior, rollbackBehavior, defaultIsolation, multipleActiveTxn;
    uint32_t isolation = 0, bookmarks = 0, lockTypes = 0, staticSensitivity = 0;
};

class Misc2Model final : public InfoPageModel {
public:
    // Fetch Direction, GetData Extensions, Positioned Operations, Scroll Concurrency, Scroll
    // Options, Owner Usage, Qualifier Usage.
    static const std::vector<FlagGroup>& Groups();

    void FetchInfo(InfoSource& source) override;
    void WriteReport(InfoSource& source, std::string& out) override;

    std::string needLongDataLength, nonNullableColumns, nullConcatenation, nullCollation, procedures, rowUpdates;
    std::array<uint32_t, 7> masks{}; // one per group
};

} // namespace ferrow
