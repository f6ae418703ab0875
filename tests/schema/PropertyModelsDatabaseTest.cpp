// The properties sheet's pages on SQLite and PostgreSQL, each page's rows against what the
// database's own catalog holds: a composite primary key and a composite, deferrable foreign key,
// a unique and a partial index and a descending one, check constraints, and (PostgreSQL) grants
// to two roles and to PUBLIC, on the table and on a column.
#include "schemacore/ConstraintsModel.h"
#include "schemacore/IndexesModel.h"
#include "schemacore/PrivilegesModel.h"
#include "schemacore/RelationshipsModel.h"
#include "SchemaTestHost.h"

#include "tests/common/WxStringPrinter.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace torvane::test;

namespace {

class PropertyModelsDatabaseTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        DatabaseTest::SetUp();
        Exec("CREATE TABLE orders (order_id INTEGER NOT NULL, region VARCHAR(10) NOT NULL, "
             "amount NUMERIC(10,2) CONSTRAINT amount_not_negative CHECK (amount >= 0), code VARCHAR(10), "
             "PRIMARY KEY (order_id, region), CONSTRAINT orders_code_key UNIQUE (code))");
        Exec("CREATE TABLE order_lines (line_id INTEGER PRIMARY KEY, order_id INTEGER NOT NULL, "
             "region VARCHAR(10) NOT NULL, qty INTEGER CONSTRAINT qty_positive CHECK (qty > 0), "
             "CONSTRAINT fk_lines_orders FOREIGN KEY (order_id, region) REFERENCES orders (order_id, region) "
             "ON DELETE CASCADE DEFERRABLE INITIALLY DEFERRED)");
        Exec("CREATE INDEX ix_lines_qty ON order_lines (qty DESC)");
        Exec("CREATE UNIQUE INDEX ux_lines_big ON order_lines (order_id) WHERE qty > 100");
        Exec("CREATE TABLE loners (x INTEGER)");
        if (IsPostgres()) {
            for (const char* role : {"torv_reader", "torv_writer"})
                Exec(std::string("DO $$ BEGIN CREATE ROLE ") + role +
                     "; EXCEPTION WHEN duplicate_object OR unique_violation THEN NULL; END $$");
            Exec("GRANT SELECT, INSERT ON orders TO torv_reader");
            Exec("GRANT SELECT, UPDATE, DELETE, REFERENCES ON orders TO torv_writer");
            Exec("GRANT SELECT ON orders TO PUBLIC");
            Exec("GRANT UPDATE (qty) ON order_lines TO torv_writer");
        }
        m_f.m_host.Open(ConnectionString());
    }

    CSchemaNodeData Object(const char* name) const
    {
        CSchemaNodeData data;
        data.m_strName = name;
        if (IsPostgres()) {
            data.m_strCatalog = wxString::FromUTF8(PostgresDatabaseName());
            data.m_strSchema = "public";
        }
        return data;
    }
    // The rows of a query on the database's own catalog, each as texts.
    std::vector<std::vector<wxString>> Query(const std::string& sql)
    {
        std::vector<std::vector<wxString>> rows;
        ado::RecordsetPtr rs = m_f.m_host.m_connection.m_pConnection->Execute(sql);
        const long fields = rs->GetFields()->GetCount();
        for (; !rs->IsEOF(); rs->MoveNext()) {
            std::vector<wxString> row;
            for (long i = 0; i < fields; ++i) {
                const _variant_t v = rs->GetCollect(i);
                row.push_back(v.IsNull() ? wxString() : wxString::FromUTF8(v.ToString()));
            }
            rows.push_back(row);
        }
        rs->Close();
        return rows;
    }
    wxString Quoted(const char* table, const char* column) const
    {
        return (IsPostgres() ? wxString("\"public\".") : wxString()) + "\"" + table + "\".\"" + column + "\"";
    }

    CModelFixture m_f;
};

TEST_P(PropertyModelsDatabaseTest, RelationshipsAreTheForeignKeysColumnPairs)
{
    const CSchemaNodeData lines = Object("order_lines");
    CRelationshipsModel model(m_f.m_host, lines);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    // The database's own column pairs of the key.
    const auto pairs = IsPostgres()
        ? Query("SELECT a.attname, b.attname FROM pg_constraint c "
                "CROSS JOIN LATERAL unnest(c.conkey, c.confkey) AS k(fk, pk) "
                "JOIN pg_attribute a ON a.attrelid = c.conrelid AND a.attnum = k.fk "
                "JOIN pg_attribute b ON b.attrelid = c.confrelid AND b.attnum = k.pk "
                "WHERE c.conname = 'fk_lines_orders' ORDER BY a.attnum")
        : Query("SELECT \"from\", \"to\" FROM pragma_foreign_key_list('order_lines') ORDER BY seq");
    ASSERT_EQ(pairs.size(), 2u);
    ASSERT_EQ(model.Records().size(), pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
        const CRelationshipRecord& r = model.Records()[i];
        EXPECT_EQ(r.side, 0); // this table refers to another
        EXPECT_EQ(r.fkColumn, Quoted("order_lines", pairs[i][0].utf8_string().c_str()));
        EXPECT_EQ(r.pkColumn, Quoted("orders", pairs[i][1].utf8_string().c_str()));
        EXPECT_EQ(r.deleteRule, "CASCADE");
    }
    const auto entries = model.ComboEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].image, imgRelationship);
    if (IsPostgres())
        EXPECT_EQ(entries[0].text, "fk_lines_orders");
    else // the driver gives no key names: the entry is the key's column
        EXPECT_EQ(entries[0].text, model.Records()[0].fkName.empty() ? model.Records()[0].fkColumn : "fk_lines_orders");

    // From the other end, the same pairs as references to this table, with the key image.
    const CSchemaNodeData orders = Object("orders");
    CRelationshipsModel referenced(m_f.m_host, orders);
    ASSERT_EQ(referenced.Load(), CPageLoadResult::Loaded);
    ASSERT_EQ(referenced.Records().size(), 2u);
    EXPECT_EQ(referenced.Records()[0].side, 1);
    EXPECT_EQ(referenced.ComboEntries()[0].image, imgKey);

    const CSchemaNodeData loners = Object("loners");
    CRelationshipsModel none(m_f.m_host, loners);
    ASSERT_EQ(none.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(none.ComboEntries(), (std::vector<CNameComboEntry>{{"<No data>", imgErrorDisc, -1}}));
}

TEST_P(PropertyModelsDatabaseTest, IndexesAreTheTablesIndexes)
{
    for (const char* table : {"orders", "order_lines"}) {
        const CSchemaNodeData object = Object(table);
        CIndexesModel model(m_f.m_host, object);
        ASSERT_EQ(model.Load(), CPageLoadResult::Loaded) << table;
        std::set<wxString> shown, held;
        for (const auto& [name, record] : model.Indexes())
            shown.insert(record.name);
        for (const auto& row : IsPostgres()
                 ? Query(std::string("SELECT indexname FROM pg_indexes WHERE schemaname = 'public' AND tablename = '") +
                         table + "'")
                 : Query(std::string("SELECT name FROM pragma_index_list('") + table + "')"))
            held.insert(row[0]);
        // The SQLite driver also lists an INTEGER PRIMARY KEY, which is the rowid and no index
        // of the database, as a unique index of its own naming.
        for (const auto& [name, record] : model.Indexes())
            if (IsSqlite() && !held.count(record.name) && record.primaryKey == "Yes" &&
                record.columns == std::vector<std::pair<wxString, wxString>>{{"line_id", "Asc"}})
                held.insert(record.name);
        EXPECT_EQ(shown, held) << table;
    }
    const CSchemaNodeData lines = Object("order_lines");
    CIndexesModel model(m_f.m_host, lines);
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    const auto& indexes = model.Indexes();
    ASSERT_TRUE(indexes.count("ix_lines_qty"));
    // The SQLite driver reports every index column as ascending.
    EXPECT_EQ(indexes.at("ix_lines_qty").columns,
              (std::vector<std::pair<wxString, wxString>>{{"qty", IsPostgres() ? "Desc" : "Asc"}}));
    EXPECT_EQ(indexes.at("ix_lines_qty").unique, "No");
    EXPECT_EQ(indexes.at("ix_lines_qty").primaryKey, "No");
    ASSERT_TRUE(indexes.count("ux_lines_big"));
    EXPECT_EQ(indexes.at("ux_lines_big").unique, "Yes");

    // The composite primary key: both columns in key order, marked as the primary key.
    const CSchemaNodeData orders = Object("orders");
    CIndexesModel keys(m_f.m_host, orders);
    ASSERT_EQ(keys.Load(), CPageLoadResult::Loaded);
    const CIndexRecord* primary = nullptr;
    for (const auto& [name, record] : keys.Indexes())
        if (record.primaryKey == "Yes")
            primary = &record;
    ASSERT_TRUE(primary);
    ASSERT_EQ(primary->columns.size(), 2u);
    EXPECT_EQ(primary->columns[0].first, "order_id");
    EXPECT_EQ(primary->columns[1].first, "region");
    EXPECT_EQ(primary->unique, "Yes");
}

TEST_P(PropertyModelsDatabaseTest, ConstraintsWithTheirCheckClauses)
{
    const CSchemaNodeData lines = Object("order_lines");
    CConstraintsModel model(m_f.m_host, lines);
    if (IsSqlite()) {
        // The driver knows no constraints: the page says the provider cannot tell.
        EXPECT_EQ(model.Load(), CPageLoadResult::NotCapable);
        EXPECT_EQ(model.ComboEntries(), (std::vector<CNameComboEntry>{{"<Provider not capable>", imgCross, -1}}));
        return;
    }
    ASSERT_EQ(model.Load(), CPageLoadResult::Loaded);
    std::map<wxString, const CConstraintRecord*> shown;
    for (const CConstraintRecord& r : model.Records())
        if (!r.name.EndsWith("_not_null"))
            shown[r.name] = &r;
    const auto held = Query("SELECT conname, condeferrable::int, pg_get_constraintdef(oid) FROM pg_constraint "
                            "WHERE conrelid = 'order_lines'::regclass");
    ASSERT_EQ(shown.size(), held.size());
    for (const auto& row : held) {
        ASSERT_TRUE(shown.count(row[0])) << row[0];
        const CConstraintRecord& r = *shown[row[0]];
        EXPECT_EQ(r.displayName, row[0] + (row[1] == "1" ? " (deferrable)" : " (not deferrable)"));
        if (row[2].StartsWith("CHECK ")) {
            EXPECT_EQ(r.type, "CHECK");
            EXPECT_EQ("CHECK " + model.Expression(r), row[2]);
        } else {
            EXPECT_EQ(model.Expression(r), "") << row[0];
        }
    }
    EXPECT_EQ(shown["fk_lines_orders"]->type, "FOREIGN KEY");
    EXPECT_EQ(shown["fk_lines_orders"]->displayName, "fk_lines_orders (deferrable)");

    const CSchemaNodeData loners = Object("loners");
    CConstraintsModel none(m_f.m_host, loners);
    ASSERT_EQ(none.Load(), CPageLoadResult::Loaded);
    EXPECT_EQ(none.ComboEntries(), (std::vector<CNameComboEntry>{{"<No data>", imgErrorDisc, -1}}));
    EXPECT_FALSE(none.CheckClausesRead());
}

TEST_P(PropertyModelsDatabaseTest, PermissionsPerGrantee)
{
    const CSchemaNodeData orders = Object("orders");
    const wxString user = m_f.m_host.m_connection.m_strUserId;
    CPrivilegesModel model(m_f.m_host, orders, nullptr, user);
    if (IsSqlite()) {
        EXPECT_EQ(model.Load(true), CPageLoadResult::NotCapable);
        EXPECT_EQ(model.Rows(), (std::vector<CPrivilegeRow>{{"<Provider not capable> ", imgCross, {}}}));
        return;
    }
    ASSERT_EQ(user, "torvane");
    ASSERT_EQ(model.Load(true), CPageLoadResult::Loaded);
    // The grants as the table's access list holds them.
    std::map<wxString, std::set<wxString>> held;
    for (const auto& row : Query("SELECT COALESCE(r.rolname, 'PUBLIC'), a.privilege_type FROM pg_class c "
                                 "CROSS JOIN LATERAL aclexplode(c.relacl) a LEFT JOIN pg_roles r ON r.oid = a.grantee "
                                 "WHERE c.oid = 'orders'::regclass"))
        held[row[0]].insert(row[1]);
    ASSERT_EQ(held.size(), 4u); // the owner, two roles, PUBLIC
    std::vector<CPrivilegeRow> expected;
    for (const auto& [grantee, privileges] : held) {
        CPrivilegeRow row{grantee, grantee == "PUBLIC" ? imgGroup : imgUser, {}};
        const char* types[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "REFERENCES"};
        for (int i = 0; i < 5; ++i)
            row.cells[i] = privileges.count(types[i]) ? "YES" : "NO";
        expected.push_back(row);
    }
    std::sort(expected.begin(), expected.end(),
              [](const CPrivilegeRow& a, const CPrivilegeRow& b) { return a.grantee.CmpNoCase(b.grantee) < 0; });
    EXPECT_EQ(model.Rows(), expected);

    ASSERT_EQ(model.Load(false), CPageLoadResult::Loaded);
    ASSERT_EQ(model.Rows().size(), 1u);
    EXPECT_EQ(model.Rows()[0].grantee, "torvane");

    // A column grant shows on the column's page, beside what the table grants imply.
    const CSchemaNodeData lines = Object("order_lines");
    CSchemaColumnData qty;
    qty.m_strName = "qty";
    CPrivilegesModel column(m_f.m_host, lines, &qty, user);
    ASSERT_EQ(column.Load(true), CPageLoadResult::Loaded);
    const auto& rows = column.Rows();
    auto writer = std::find_if(rows.begin(), rows.end(), [](const CPrivilegeRow& r) { return r.grantee == "torv_writer"; });
    ASSERT_NE(writer, rows.end());
    EXPECT_EQ(writer->cells, (std::array<wxString, 5>{"NO", "NO", "YES", "NO", "NO"}));
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(), [](const CPrivilegeRow& r) { return r.grantee == "torv_reader"; }));
}

TORVANE_INSTANTIATE_FOR_DRIVERS(PropertyModelsDatabaseTest);

} // namespace
