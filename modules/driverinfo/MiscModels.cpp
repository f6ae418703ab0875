#include "MiscModels.h"

#include <sqlext.h>

namespace ferrow {

namespace {

bool Set(uint32_t mask, uint32_t bit)
{
    return (mask & bit) != 0;
}

std::string Label(const char* label)
{
    const std::string text = label;
    return std::string(25 - text.size(), ' ') + text + " - ";
}

const CodeTexts kCursorBehavior = {{0, "Close Cursors, Delete Statements"}, {1, "Close Cursors"}, {2, "Preserve Cursors"}};

} // namespace

const FlagGroup& Misc1Model::IsolationLevels()
{
    static const FlagGroup g{"Transaction Isolation Levels:",
                             SQL_TXN_ISOLATION_OPTION,
                             {{"Read Uncommitted", SQL_TXN_READ_UNCOMMITTED},
                              {"Read Committed", SQL_TXN_READ_COMMITTED},
                              {"Repeatable Read", SQL_TXN_REPEATABLE_READ},
                              {"Serializable", SQL_TXN_SERIALIZABLE}}};
    return g;
}

const FlagGroup& Misc1Model::BookmarkPersistence()
{
    static const FlagGroup g{"Bookmark Persistence:",
                             SQL_BOOKMARK_PERSISTENCE,
                             {{"Close", SQL_BP_CLOSE},
                              {"Delete", SQL_BP_DELETE},
                              {"Drop", SQL_BP_DROP},
                              {"Transaction", SQL_BP_TRANSACTION},
                              {"Update", SQL_BP_UPDATE},
                              {"Other HSTMT", SQL_BP_OTHER_HSTMT},
                              {"Scroll", SQL_BP_SCROLL}}};
    return g;
}

const FlagGroup& Misc1Model::LockTypes()
{
    static const FlagGroup g{"Lock Types:",
                             SQL_LOCK_TYPES,
                             {{"No Change", SQL_LCK_NO_CHANGE}, {"Exclusive", SQL_LCK_EXCLUSIVE}, {"Unlock", SQL_LCK_UNLOCK}}};
    return g;
}

const FlagGroup& Misc1Model::StaticSensitivity()
{
    static const FlagGroup g{"Static Sensitivity:",
                             SQL_STATIC_SENSITIVITY,
                             {{"Additions", SQL_SS_ADDITIONS}, {"Deletions", SQL_SS_DELETIONS}, {"Updates", SQL_SS_UPDATES}}};
    return g;
}

void Misc1Model::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    const std::optional<uint16_t> capable = source.GetInfoWord(SQL_TXN_CAPABLE);
    SetCodedText(transactionCapable, capable,
                 {{0, "None"},
                  {1, "DDL statements cause an error"},
                  {2, "DDL and DML statements supported"},
                  {3, "DDL statements cause a commit"},
                  {4, "DDL statements are ignored"}});
    if (capable == 0) {
        commitBehavior = rollbackBehavior = defaultIsolation = multipleActiveTxn = kNotApplicable;
        isolation = 0;
    } else {
        SetCodedText(commitBehavior, source.GetInfoWord(SQL_CURSOR_COMMIT_BEHAVIOR), kCursorBehavior);
        SetCodedText(rollbackBehavior, source.GetInfoWord(SQL_CURSOR_ROLLBACK_BEHAVIOR), kCursorBehavior);
        isolation = GetInfoMask(source, SQL_TXN_ISOLATION_OPTION);
        SetCodedText(defaultIsolation, source.GetInfoDword(SQL_DEFAULT_TXN_ISOLATION),
                     {{1, "Read Uncommitted"}, {2, "Read Committed"}, {4, "Repeatable Read"}, {8, "Serializable"}});
        multipleActiveTxn = GetInfoSupported(source, SQL_MULTIPLE_ACTIVE_TXN);
    }
    // These describe cursors and locking, not transactions: read whatever the transaction
    // support is.
    bookmarks = GetInfoMask(source, SQL_BOOKMARK_PERSISTENCE);
    lockTypes = GetInfoMask(source, SQL_LOCK_TYPES);
    staticSensitivity = GetInfoMask(source, SQL_STATIC_SENSITIVITY);
}

void Misc1Model::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += "Miscellaneous\n-------------\n\n";
    out += Label("Transaction Capabilities") + transactionCapable + "\n";
    out += Label("Cursor Commit Behavior") + commitBehavior + "\n";
    out += Label("Cursor Rollback Behavior") + rollbackBehavior + "\n";
    out += Label("Trans. Isolation Levels") + JoinFlags({{"Read Commit", Set(isolation, SQL_TXN_READ_COMMITTED)},
                                                        {"Read Uncommit", Set(isolation, SQL_TXN_READ_UNCOMMITTED)},
                                                        {"Repeat Read", Set(isolation, SQL_TXN_REPEATABLE_READ)},
                                                        {"Serializable", Set(isolation, SQL_TXN_SERIALIZABLE)}}) +
           "\n";
    out += Label("Default Trans. Isolation") + defaultIsolation + "\n";
    out += Label("Multiple Active Trans.") + multipleActiveTxn + "\n";
    out += Label("Bookmark Persistance") + JoinFlags({{"Close", Set(bookmarks, SQL_BP_CLOSE)},
                                                     {"Delete", Set(bookmarks, SQL_BP_DELETE)},
                                                     {"Drop", Set(bookmarks, SQL_BP_DROP)},
                                                     {"Other HSTMT", Set(bookmarks, SQL_BP_OTHER_HSTMT)},
                                                     {"Scroll", Set(bookmarks, SQL_BP_SCROLL)},
                                                     {"Transaction", Set(bookmarks, SQL_BP_TRANSACTION)},
                                                     {"Update", Set(bookmarks, SQL_BP_UPDATE)}}) +
           "\n";
    out += Label("Lock Types") + JoinFlags({{"Exclusive", Set(lockTypes, SQL_LCK_EXCLUSIVE)},
                                           {"No Change", Set(lockTypes, SQL_LCK_NO_CHANGE)},
                                           {"Unlock", Set(lockTypes, SQL_LCK_UNLOCK)}}) +
           "\n";
    out += Label("Static Sensitivity") + JoinFlags({{"Additions", Set(staticSensitivity, SQL_SS_ADDITIONS)},
                                                   {"Deletions", Set(staticSensitivity, SQL_SS_DELETIONS)},
                                                   {"Updates", Set(staticSensitivity, SQL_SS_UPDATES)}}) +
           "\n\n";
}

const std::vector<FlagGroup>& Misc2Model::Groups()
{
    static const std::vector<FlagSpec> usage = {
        {"DML Stmt.", 0x1}, {"Proc. Invocation", 0x2}, {"Table Def.", 0x4}, {"Index Def.", 0x8}, {"Privilege Def.", 0x10}};
    static const std::vector<FlagGroup> groups{
        {"Fetch Direction:",
         SQL_FETCH_DIRECTION,
         {{"Next", SQL_FD_FETCH_NEXT},
          {"First", SQL_FD_FETCH_FIRST},
          {"Last", SQL_FD_FETCH_LAST},
          {"Prior", SQL_FD_FETCH_PRIOR},
          {"Absolute", SQL_FD_FETCH_ABSOLUTE},
          {"Relative", SQL_FD_FETCH_RELATIVE},
          {"Bookmark", SQL_FD_FETCH_BOOKMARK}}},
        {"GetData Extensions:",
         SQL_GETDATA_EXTENSIONS,
         {{"Any Column", SQL_GD_ANY_COLUMN}, {"Any Order", SQL_GD_ANY_ORDER}, {"Block", SQL_GD_BLOCK}, {"Bound", SQL_GD_BOUND}}},
        {"Positioned Operations:",
         SQL_POS_OPERATIONS,
         {{"Position", SQL_POS_POSITION},
          {"Refresh", SQL_POS_REFRESH},
          {"Update", SQL_POS_UPDATE},
          {"Delete", SQL_POS_DELETE},
          {"Add", SQL_POS_ADD}}},
        {"Scroll Concurrency:",
         SQL_SCROLL_CONCURRENCY,
         {{"Read Only", SQL_SCCO_READ_ONLY},
          {"Lock", SQL_SCCO_LOCK},
          {"Opt./RowVer", SQL_SCCO_OPT_ROWVER},
          {"Opt./Values", SQL_SCCO_OPT_VALUES}}},
        {"Scroll Options:",
         SQL_SCROLL_OPTIONS,
         {{"Forward Only", SQL_SO_FORWARD_ONLY},
          {"Keyset Driven", SQL_SO_KEYSET_DRIVEN},
          {"Dynamic", SQL_SO_DYNAMIC},
          {"Mixed", SQL_SO_MIXED},
          {"Static", SQL_SO_STATIC}}},
        {"Owner Usage:", SQL_OWNER_USAGE, usage},
        {"Qualifier Usage:", SQL_QUALIFIER_USAGE, usage},
    };
    return groups;
}

void Misc2Model::FetchInfo(InfoSource& source)
{
    if (!source.IsConnected())
        return;
    needLongDataLength = GetInfoYesNo(source, SQL_NEED_LONG_DATA_LEN);
    SetCodedText(nonNullableColumns, source.GetInfoWord(SQL_NON_NULLABLE_COLUMNS), {{0, "Not Supported"}, {1, "Supported"}});
    SetCodedText(nullConcatenation, source.GetInfoWord(SQL_CONCAT_NULL_BEHAVIOR),
                 {{0, "Result is NULL"}, {1, "Result is not NULL"}});
    SetCodedText(nullCollation, source.GetInfoWord(SQL_NULL_COLLATION), {{0, "High"}, {1, "Low"}, {2, "Start"}, {4, "End"}});
    procedures = GetInfoSupported(source, SQL_PROCEDURES);
    rowUpdates = GetInfoYesNo(source, SQL_ROW_UPDATES);
    for (size_t i = 0; i < masks.size(); ++i)
        masks[i] = GetInfoMask(source, Groups()[i].infoType);
}

void Misc2Model::WriteReport(InfoSource& source, std::string& out)
{
    if (!source.IsConnected())
        return;
    out += Label("Need Long Data Length") + needLongDataLength + "\n";
    out += Label("Non-Nullable Columns") + nonNullableColumns + "\n";
    out += Label("Null Concatenation") + nullConcatenation + "\n";
    out += Label("Null Collation") + nullCollation + "\n";
    out += Label("Procedures") + procedures + "\n";
    out += Label("Row Updates") + rowUpdates + "\n";
    const uint32_t fd = masks[0], gd = masks[1], pos = masks[2], scco = masks[3], so = masks[4];
    out += Label("Fetch Direction") + JoinFlags({{"Absolute", Set(fd, SQL_FD_FETCH_ABSOLUTE)},
                                                {"Bookmark", Set(fd, SQL_FD_FETCH_BOOKMARK)},
                                                {"First", Set(fd, SQL_FD_FETCH_FIRST)},
                                                {"Last", Set(fd, SQL_FD_FETCH_LAST)},
                                                {"Next", Set(fd, SQL_FD_FETCH_NEXT)},
                                                {"Prior", Set(fd, SQL_FD_FETCH_PRIOR)},
                                                {"Relative", Set(fd, SQL_FD_FETCH_RELATIVE)}}) +
           "\n";
    out += Label("Get Data Extensions") + JoinFlags({{"Any Column", Set(gd, SQL_GD_ANY_COLUMN)},
                                                    {"Any Order", Set(gd, SQL_GD_ANY_ORDER)},
                                                    {"Block", Set(gd, SQL_GD_BLOCK)},
                                                    {"Bound", Set(gd, SQL_GD_BOUND)}}) +
           "\n";
    out += Label("Positioned Operations") + JoinFlags({{"Add", Set(pos, SQL_POS_ADD)},
                                                      {"Delete", Set(pos, SQL_POS_DELETE)},
                                                      {"Position", Set(pos, SQL_POS_POSITION)},
                                                      {"Refresh", Set(pos, SQL_POS_REFRESH)},
                                                      {"Update", Set(pos, SQL_POS_UPDATE)}}) +
           "\n";
    out += Label("Scroll Concurrency") + JoinFlags({{"Lock", Set(scco, SQL_SCCO_LOCK)},
                                                   {"Opt/RowVer", Set(scco, SQL_SCCO_OPT_ROWVER)},
                                                   {"Opt/Values", Set(scco, SQL_SCCO_OPT_VALUES)},
                                                   {"Read Only", Set(scco, SQL_SCCO_READ_ONLY)}}) +
           "\n";
    out += Label("Scroll Options") + JoinFlags({{"Dynamic", Set(so, SQL_SO_DYNAMIC)},
                                               {"Forward Only", Set(so, SQL_SO_FORWARD_ONLY)},
                                               {"Keyset Driven", Set(so, SQL_SO_KEYSET_DRIVEN)},
                                               {"Mixed", Set(so, SQL_SO_MIXED)},
                                               {"Static", Set(so, SQL_SO_STATIC)}}) +
           "\n";
    for (size_t g : {5u, 6u}) {
        const uint32_t m = masks[g];
        out += Label(g == 5 ? "Owner Usage" : "Qualifier Usage") + JoinFlags({{"DML Stmt", Set(m, 0x1)},
                                                                              {"Index Def", Set(m, 0x8)},
                                                                              {"Priv Def", Set(m, 0x10)},
                                                                              {"Proc Invoke", Set(m, 0x2)},
                                                                              {"Table Def", Set(m, 0x4)}}) +
               "\n";
    }
}

} // namespace ferrow
