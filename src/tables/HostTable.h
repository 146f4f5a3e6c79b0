// The host's table objects, as far as the system calls them.
//
// The host's interfaces carry many operations the system never uses; they are
// declared here as placeholders only so that every operation the system does
// call sits at its slot in the function table.
#pragma once

#include "platform/Automation.h"
#include "platform/InterfaceTraits.h"
#include "platform/StdcallCheck.h"

extern const IID IID_IHostTable;
extern const IID IID_IHostRowStore;
extern const IID IID_IHostCellTable;

struct IHostRowStore;

// A record table. Slots 0 to 6 are IDispatch's.
struct IHostTable : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
    // Slot 16: zero asks the reader to keep the table for a write-back.
    virtual HRESULT STDMETHODCALLTYPE GetDataFlag(LONG* flag) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18() = 0;
    // Slot 19: the rows; the caller owns the reference it receives.
    virtual HRESULT STDMETHODCALLTYPE GetRowStore(IHostRowStore** store) = 0;

protected:
    ~IHostTable() = default;
};

// The rows of a record table: fixed-width single-byte records, rows from 1.
// Obtained only through IHostTable::GetRowStore.
struct IHostRowStore : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    // Slot 5: copies row `row` (from 1) into `record`, `length` bytes.
    virtual HRESULT STDMETHODCALLTYPE ReadRow(ULONG row, ULONG length, LPSTR record) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    // Slot 8: appends one record of `length` bytes.
    virtual HRESULT STDMETHODCALLTYPE AppendRow(ULONG length, LPCSTR record) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    // Slot 10: removes every row.
    virtual HRESULT STDMETHODCALLTYPE ClearRows() = 0;
    // Slot 11.
    virtual HRESULT STDMETHODCALLTYPE GetRowCount(ULONG* count) = 0;

protected:
    ~IHostRowStore() = default;
};

// A cell table, used only through IDispatch::Invoke; rows and columns from 1.
struct IHostCellTable : IDispatch {
    static constexpr DISPID kRowCount = 1;     // property get, VT_I4
    static constexpr DISPID kColumnCount = 2;  // property get, VT_I4
    static constexpr DISPID kCell = 23;        // property get (row VT_I4, column VT_VARIANT) -> VT_VARIANT

protected:
    ~IHostCellTable() = default;
};

// The host calls these as stdcall methods on 32-bit Windows.
TESSEL_STDCALL(IHostTable, GetDataFlag);
TESSEL_STDCALL(IHostTable, GetRowStore);
TESSEL_STDCALL(IHostRowStore, ReadRow);
TESSEL_STDCALL(IHostRowStore, AppendRow);
TESSEL_STDCALL(IHostRowStore, ClearRows);
TESSEL_STDCALL(IHostRowStore, GetRowCount);

TESSEL_INTERFACE_TRAITS(IHostTable, IID_IHostTable);
TESSEL_INTERFACE_TRAITS(IHostRowStore, IID_IHostRowStore);
TESSEL_INTERFACE_TRAITS(IHostCellTable, IID_IHostCellTable);
