#include "SchemaTestHost.h"

#include "common/ErrorText.h"
#include "tests/support/TestDatabases.h"

#include <gtest/gtest.h>

void CTestSchemaHost::Open(const std::string& connectionString)
{
    m_connection.m_pConnection = ado::Connection::Create();
    m_connection.m_pConnection->Open(connectionString);
    m_connection.m_pRecordset = ado::Recordset::Create();
    ASSERT_TRUE(m_connection.ReadConnectionInfo());
    m_strQuotePrefix = m_connection.m_strQuotePrefix;
    m_strQuoteSuffix = m_connection.m_strQuoteSuffix;
    m_strConnectionString = wxString::FromUTF8(m_connection.m_pConnection->GetConnectionString());
}

ado::RecordsetPtr CTestSchemaHost::OpenSchema(ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions)
{
    m_calls.push_back({schema, restrictions});
    if (m_openSchema)
        return m_openSchema(schema, restrictions);
    if (!m_connection.m_pConnection)
        throw _com_error(E_POINTER);
    return m_connection.m_pConnection->OpenSchema(schema, restrictions);
}

wxString CTestSchemaHost::GetProviderErrorsText()
{
    if (!m_strErrorsText.empty() || !m_connection.m_pConnection)
        return m_strErrorsText;
    return ::GetProviderErrorsText(m_connection.m_pConnection.get());
}

CModelFixture::CModelFixture()
    : m_store(std::make_unique<CSettingsStore>(wxString::FromUTF8(torvane::test::NewTempPath(".conf")))),
      m_host(*m_store), m_selection(m_tree, *this, CMultiSelectTree::Options{false, true, 4, 4})
{
}

CSchemaTreeModel& CModelFixture::Build()
{
    m_model = std::make_unique<CSchemaTreeModel>(m_tree, m_selection, m_host, *m_store);
    m_tree.SetListener(m_model.get());
    return *m_model;
}

TreeItem CModelFixture::Expand(const std::string& path)
{
    const TreeItem item = Find(m_tree, path);
    EXPECT_TRUE(item) << path;
    if (item)
        m_tree.Expand(item);
    return item;
}

TreeItem CModelFixture::Select(const std::string& path)
{
    const TreeItem item = Find(m_tree, path);
    EXPECT_TRUE(item) << path;
    m_selection.SelectOnly(item);
    return item;
}
