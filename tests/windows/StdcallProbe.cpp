// Compiled by the stdcall check's own tests in the 32-bit build: as it is,
// an interface whose methods are all stdcall, which must compile; with
// TESSEL_CDECL_METHOD, one method declared without STDMETHODCALLTYPE, which
// must not.
#include "control/HostEnvironment.h"
#include "platform/StdcallCheck.h"
#include "tables/HostTable.h"

struct IProbe : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(ULONG row, LPSTR record) = 0;
#ifdef TESSEL_CDECL_METHOD
    virtual HRESULT Write(ULONG row, LPCSTR record) = 0;
#else
    virtual HRESULT STDMETHODCALLTYPE Write(ULONG row, LPCSTR record) = 0;
#endif
};

TESSEL_STDCALL(IProbe, Read);
TESSEL_STDCALL(IProbe, Write);
