#include "tables/TableReader.h"

namespace {

// Asks the table object for interface T. An object that does not offer it
// is not an error (false); any other failure is.
template <class T>
bool QueryTable(IDispatch& table, ComPtr<T>& out) {
    HRESULT hr = table.QueryInterface(InterfaceTraits<T>::Iid(), out.ReceiveVoid());
    if (hr == E_NOINTERFACE || (SUCCEEDED(hr) && !out)) {
        out.Reset();
        return false;
    }
    if (FAILED(hr)) RaiseError(hr);
    return true;
}

LONG DataFlagOf(IHostTable& table) {
    LONG flag = 0;
    CheckResult(table.GetDataFlag(&flag), InterfaceTraits<IHostTable>::Id());
    return flag;
}

// The operation of a converter that a layout selects.
template <class Op>
Op ForLayout(Layout layout, Op v310, Op v30, Op v20) {
    return layout == Layout::V310 ? v310 : layout == Layout::V30 ? v30 : v20;
}

}  // namespace

LONG CTableReader::Read310(IDispatch* t, COrlinTableData* c) { return Read(Layout::V310, t, c); }
LONG CTableReader::Read30(IDispatch* t, COrlinTableData* c) { return Read(Layout::V30, t, c); }
LONG CTableReader::Read20(IDispatch* t, COrlinTableData* c) { return Read(Layout::V20, t, c); }

LONG CTableReader::Read(Layout layout, IDispatch* table, COrlinTableData* converter) {
    using C = COrlinTableData;
    return ReadRecords(table, converter, ForLayout<Fill>(layout, &C::Fill310, &C::Fill30, &C::Fill20));
}

LONG CTableReader::ReadCells310(IDispatch* t, CTableOCXData* c) { return ReadCells(Layout::V310, t, c); }
LONG CTableReader::ReadCells30(IDispatch* t, CTableOCXData* c) { return ReadCells(Layout::V30, t, c); }
LONG CTableReader::ReadCells20(IDispatch* t, CTableOCXData* c) { return ReadCells(Layout::V20, t, c); }

LONG CTableReader::ReadCells(Layout layout, IDispatch* table, CTableOCXData* converter) {
    using C = CTableOCXData;
    return ReadCellTable(table, converter, ForLayout<FillCells>(layout, &C::Fill310, &C::Fill30, &C::Fill20));
}

LPDISPATCH CTableReader::WriteBack310(COrlinTableData* c) { return WriteBack(Layout::V310, c); }
LPDISPATCH CTableReader::WriteBack30(COrlinTableData* c) { return WriteBack(Layout::V30, c); }
LPDISPATCH CTableReader::WriteBack20(COrlinTableData* c) { return WriteBack(Layout::V20, c); }

LPDISPATCH CTableReader::WriteBack(Layout layout, COrlinTableData* converter) {
    using C = COrlinTableData;
    return WriteBackKept(converter,
                         ForLayout<WriteBackRows>(layout, &C::WriteBackRows310, &C::WriteBackRows30, &C::WriteBackRows20));
}

LONG CTableReader::ReadRecords(IDispatch* table, COrlinTableData* converter, Fill fill) {
    if (!table || !converter) return kNotFilled;
    ComPtr<IHostTable> host;
    if (!QueryTable(*table, host)) return kNotFilled;
    if (!webGui_ && DataFlagOf(*host) == 0) {
        kept_ = host;  // releases the table kept before, unless it is this one
        return kKept;
    }
    return (converter->*fill)(host) ? kFilled : kNotFilled;
}

LONG CTableReader::ReadCellTable(IDispatch* table, CTableOCXData* converter, FillCells fill) {
    if (!table || !converter) return kNotFilled;
    ComPtr<IHostCellTable> cells;
    if (!QueryTable(*table, cells)) return kNotFilled;
    return (converter->*fill)(cells) ? kFilled : kNotFilled;
}

LPDISPATCH CTableReader::WriteBackKept(COrlinTableData* converter, WriteBackRows write) {
    if (!kept_ || !converter) return nullptr;
    if (!(converter->*write)(kept_)) return nullptr;  // a failed write-back keeps the table
    return kept_.Detach();  // the reader's reference goes to the caller
}
