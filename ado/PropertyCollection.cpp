#include "PropertyCollection.h"

#include <strings.h>

namespace ado::detail {

namespace {


class ConnectionProperty final : public Property {
public:
    ConnectionProperty(std::weak_ptr<OdbcConnection> connection, PropertyInfo info)
        : m_connection(std::move(connection)), m_info(std::move(info))
    {
    }
    std::string GetName() const override { return m_info.name; }
    _variant_t GetValue() const override { return Connection()->PropertyValue(m_info.name); }
    void PutValue(const _variant_t& value) override { Connection()->PutPropertyValue(m_info.name, value); }
    DataTypeEnum GetType() const override { return m_info.type; }
    long GetAttributes() const override { return m_info.attributes; }

private:
    std::shared_ptr<OdbcConnection> Connection() const
    {
        auto cn = m_connection.lock();
        if (!cn)
            ThrowAdo(adErrObjectNotSet, "Object is no longer valid.");
        return cn;
    }

    std::weak_ptr<OdbcConnection> m_connection;
    PropertyInfo m_info;
};

} // namespace

PropertyCollection::PropertyCollection(std::shared_ptr<OdbcConnection> connection)
    : m_connection(connection), m_items(connection->PropertyList())
{
}

PropertyPtr PropertyCollection::GetItem(long index) const
{
    if (index < 0 || index >= GetCount())
        ThrowAdo(adErrItemNotFound, kNotFoundText);
    return std::make_shared<ConnectionProperty>(m_connection, m_items[static_cast<size_t>(index)]);
}

PropertyPtr PropertyCollection::GetItem(const std::string& name) const
{
    for (const auto& item : m_items)
        if (strcasecmp(item.name.c_str(), name.c_str()) == 0)
            return std::make_shared<ConnectionProperty>(m_connection, item);
    ThrowAdo(adErrItemNotFound, kNotFoundText);
}

void PropertyCollection::Refresh()
{
    auto cn = m_connection.lock();
    if (!cn)
        ThrowAdo(adErrObjectNotSet, "Object is no longer valid.");
    cn->RefreshProperties();
    m_items = cn->PropertyList();
}

} // namespace ado::detail
