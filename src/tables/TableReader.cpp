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

}  // namespace

LONG CTableReader::Read310(IDispatch* t, COrlinTableData* c) { return ReadRecords(t, c, &COrlinTableData::Fill310); }
LONG CTableReader::Read30(IDispatch* t, COrlinTableData* c) { return ReadRecords(t, c, &COrlinTableData::Fill30); }
LONG CTableReader::Read20(IDispatch* t, COrlinTableData* c) { return ReadRecords(t, c, &COrlinTableData::Fill20); }

LONG CTableReader::Read(Layout layout, IDispatch* table, COrlinTableData* converter) {
    switch (layout) {
        case Layout::V310: return Read310(table, converter);
        case Layout::V30: return Read30(table, converter);
        case Layout::V20: break;
    }
    return Read20(table, converter);
}

LONG CTableReader::ReadCells310(IDispatch* t, CTableOCXData* c) { return ReadCellTable(t, c, &CTableOCXData::Fill310); }
LONG CTableReader::ReadCells30(IDispatch* t, CTableOCXData* c) { return ReadCellTable(t, c, &CTableOCXData::Fill30); }
LONG CTableReader::ReadCells20(IDispatch* t, CTableOCXData* c) { return ReadCellTable(t, c, &CTableOCXData::Fill20); }

LONG CTableReader::ReadCells(Layout layout, IDispatch* table, CTableOCXData* converter) {
    switch (layout) {
        case Layout::V310: return ReadCells310(table, converter);
        case Layout::V30: return ReadCells30(table, converter);
        case Layout::V20: break;
    }
    return ReadCells20(table, converter);
}

LPDISPATCH CTableReader::WriteBack310(COrlinTableData* c) { return WriteBackKept(c, &COrlinTableData::WriteBackRows310); }
LPDISPATCH CTableReader::WriteBack30(COrlinTableData* c) { return WriteBackKept(c, &COrlinTableData::WriteBackRows30); }
LPDISPATCH CTableReader::WriteBack20(COrlinTableData* c) { return WriteBackKept(c, &COrlinTableData::WriteBackRows20); }

LPDISPATCH CTableReader::WriteBack(Layout layout, COrlinTableData* converter) {
    switch (layout) {
        case Layout::V310: return WriteBack310(converter);
        case Layout::V30: return WriteBack30(converter);
        case Layout::V20: break;
    }
    return WriteBack20(converter);
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
