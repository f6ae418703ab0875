#include "ConnectionObject.h"

namespace ado {

namespace {

class CConnectionObject final : public _Connection {
public:
    explicit CConnectionObject(ConnectionPtr connection) : m_connection(std::move(connection)) {}

    HRESULT QueryInterface(const IID& iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__Connection) {
            *object = static_cast<_Connection*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    uint32_t AddRef() override { return ++m_refs; }
    uint32_t Release() override
    {
        const uint32_t refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    ConnectionPtr GetConnection() override { return m_connection; }

private:
    ~CConnectionObject() = default;

    uint32_t m_refs = 0;
    ConnectionPtr m_connection;
};

} // namespace

ComPtr<_Connection> MakeConnectionObject(ConnectionPtr connection)
{
    return ComPtr<_Connection>(new CConnectionObject(std::move(connection)));
}

} // namespace ado
