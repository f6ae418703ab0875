// What the schema tree model's tests put in place of a query window: the connection's facts
// (read from a real connection, or set by the test), OpenSchema on that connection or a
// scripted answer, and a record of the status texts, messages and cursor calls.
#pragma once

#include "schemacore/SchemaTreeStore.h"
#include "TreeTestHelpers.h"
#include "platform/SettingsStore.h"
#include "schemacore/SchemaHost.h"
#include "schemacore/SchemaTreeModel.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CTestSchemaHost : public ISchemaHost {
public:
    explicit CTestSchemaHost(CSettingsStore& store) : m_connection(store) {}

    // Opens the connection and reads its facts as a query window does.
    void Open(const std::string& connectionString);

    CConnectionInfo& Connection() override { return m_connection; }
    ado::RecordsetPtr OpenSchema(ado::SchemaEnum schema, const std::vector<_variant_t>& restrictions) override;
    wxString GetProviderErrorsText() override;
    wxString GetQuotePrefix() const override { return m_strQuotePrefix; }
    wxString GetQuoteSuffix() const override { return m_strQuoteSuffix; }
    wxString GetConnectionString() const override { return m_strConnectionString; }
    bool IsConnectionOpen() const override { return m_bOpen; }
    // The model's rules while a query runs are tested on real query windows.
    bool IsExecuting() const override { return false; }
    bool IsFindInFilesRunning() const override { return m_bFindInFiles; }
    bool IsBusy() const override { return m_bFindInFiles; }
    void SetStatusText(const wxString& text) override { m_statusTexts.push_back(text); }
    void BeginWaitCursor() override { ++m_nWaitDepth; }
    void EndWaitCursor() override { --m_nWaitDepth; }
    void ShowStopMessage(const wxString& text) override { m_messages.push_back(text); }
    void UpdateConnectionTitle() override { ++m_nTitleUpdates; }

    struct Call {
        ado::SchemaEnum schema;
        std::vector<_variant_t> restrictions;
    };

    CConnectionInfo m_connection;
    // Answers OpenSchema instead of the connection when set.
    std::function<ado::RecordsetPtr(ado::SchemaEnum, const std::vector<_variant_t>&)> m_openSchema;
    std::vector<Call> m_calls;
    wxString m_strErrorsText;
    wxString m_strQuotePrefix = "\"";
    wxString m_strQuoteSuffix = "\"";
    wxString m_strConnectionString;
    bool m_bOpen = true;
    bool m_bFindInFiles = false;
    std::vector<wxString> m_statusTexts;
    std::vector<wxString> m_messages;
    int m_nWaitDepth = 0;
    int m_nTitleUpdates = 0;
};

// A model over an in-memory tree, with the multiple selection and a host, settings in a file of
// its own. Notifications of the selection are counted only.
class CModelFixture : public ITreeNotifications {
public:
    CModelFixture();

    void SelChanging(TreeItem, int, int) override {}
    void SelChanged(TreeItem, TreeItem) override {}
    void KeyDown(TreeKey) override {}
    void BeginDrag(TreeItem, int, int) override {}

    std::unique_ptr<CSettingsStore> m_store;
    CSchemaTreeStore m_tree;
    CTestSchemaHost m_host;
    CMultiSelectTree m_selection;
    // Made by Build(), after the test has set the settings it reads.
    std::unique_ptr<CSchemaTreeModel> m_model;

    CSchemaTreeModel& Build();
    // Expands the item at the path (see Find) as a click on its button does.
    TreeItem Expand(const std::string& path);
    // Makes the item at the path the caret and the one selected item.
    TreeItem Select(const std::string& path);
};
