// The Properties collection of a Connection: the names and types the connection offers, with
// values read from (and written to) the connection when asked.
#pragma once

#include "OdbcConnection.h"

#include <memory>
#include <vector>

namespace ado::detail {

class PropertyCollection final : public Properties {
public:
    explicit PropertyCollection(std::shared_ptr<OdbcConnection> connection);

    long GetCount() const override { return static_cast<long>(m_items.size()); }
    PropertyPtr GetItem(long index) const override;
    PropertyPtr GetItem(const std::string& name) const override;
    void Refresh() override;

private:
    std::weak_ptr<OdbcConnection> m_connection;
    std::vector<PropertyInfo> m_items;
};

} // namespace ado::detail
