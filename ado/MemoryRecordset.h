// A read-only, forward-only recordset over rows held in memory: the shape of schema rowsets
// and of any result the layer builds itself rather than fetching from a live statement.
#pragma once

#include "Ado.h"

#include <memory>
#include <string>
#include <vector>

namespace ado {

struct MemoryColumn {
    std::string name;
    DataTypeEnum type = adVarWChar;
    long definedSize = 0;
    unsigned char precision = 255;
    unsigned char numericScale = 255;
    long attributes = 0;

    // A column with the size, precision, scale and attributes the layer reports for the type;
    // definedSize is only taken for the text and binary types.
    static MemoryColumn Of(std::string name, DataTypeEnum type, long definedSize = 0,
                           bool nullable = true);
};

class MemoryRecordset final : public Recordset {
public:
    struct State;

    // Open, positioned on the first row once rows are added.
    static std::shared_ptr<MemoryRecordset> Create(std::vector<MemoryColumn> columns,
                                                   ConnectionPtr activeConnection = nullptr);
    explicit MemoryRecordset(std::shared_ptr<State> state);
    ~MemoryRecordset() override;

    // Appends a row; values are in column order and must number exactly as the columns.
    void AddRow(std::vector<_variant_t> values);
    long GetRecordCount() const;

    void Open(const _variant_t& source, const ConnectionPtr& activeConnection,
              CursorTypeEnum cursorType = adOpenForwardOnly, LockTypeEnum lockType = adLockReadOnly,
              long options = adCmdText) override;
    void Close() override;
    void Cancel() override {}
    long GetState() const override;

    long GetCacheSize() const override;
    void PutCacheSize(long rows) override;
    long GetMaxRecords() const override;
    void PutMaxRecords(long rows) override;
    ConnectionPtr GetActiveConnection() const override;

    bool IsBOF() const override;
    bool IsEOF() const override;
    void MoveNext() override;
    RecordsetPtr NextRecordset(_variant_t* recordsAffected = nullptr) override;

    FieldsPtr GetFields() const override;
    _variant_t GetCollect(long index) const override;
    // The current row's value of field index without a copy, for readers of many rows; valid
    // until the recordset moves or closes. Throws as GetCollect does.
    const _variant_t& GetValueRef(long index) const;

    void Save(const std::string& destination, PersistFormatEnum format) override;

private:
    std::shared_ptr<State> m_state;
};

} // namespace ado
