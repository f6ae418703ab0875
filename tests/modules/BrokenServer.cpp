// A plugin library that refuses to register and serves no classes.
#include "platform/com/ComTypes.h"

extern "C" HRESULT DllRegisterServer()
{
    return E_FAIL;
}
