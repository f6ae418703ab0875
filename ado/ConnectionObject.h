// The data layer's Connection as a COM object, for handing it to plugin libraries: an
// automation object whose QueryInterface yields _Connection, and through it the Connection.
// Threads: as the Connection (one thread at a time); the count is not atomic.
#pragma once

#include "Ado.h"
#include "platform/com/Unknown.h"

namespace ado {

struct _Connection : IDispatch {
    virtual ConnectionPtr GetConnection() = 0;

protected:
    ~_Connection() = default;
};

inline constexpr IID IID__Connection{0x00001550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

// A new object holding the connection, with one reference for the caller.
ComPtr<_Connection> MakeConnectionObject(ConnectionPtr connection);

} // namespace ado
