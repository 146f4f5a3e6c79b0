#include "tables/OrlinTableData.h"

#include "platform/VariantGrid.h"

#include "tables/RecordBuilder.h"
#include "tables/RecordCutter.h"

BOOL COrlinTableData::Fill30(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
BOOL COrlinTableData::WriteBackRows30(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
BOOL COrlinTableData::Fill20(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
BOOL COrlinTableData::WriteBackRows20(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }

BOOL COrlinTableData::Unsupported(ComPtr<IHostTable> table) noexcept {
    table.Reset();
    return FALSE;
}

ComPtr<IHostRowStore> RowStoreOf(IHostTable& table) {
    ComPtr<IHostRowStore> store;
    CheckResult(table.GetRowStore(store.Receive()), InterfaceTraits<IHostTable>::Id());
    return store;
}

ULONG RowCountOf(IHostRowStore& store) {
    ULONG count = 0;
    CheckResult(store.GetRowCount(&count), InterfaceTraits<IHostRowStore>::Id());
    return count;
}

BOOL COrlinTableData::FillRecords(COleSafeArray& grid, ComPtr<IHostTable> table, const FillLayout& layout) {
    if (!table) return FALSE;
    ComPtr<IHostRowStore> store = RowStoreOf(*table);
    if (!store) return FALSE;
    const ULONG rows = RowCountOf(*store);
    const DWORD size[2] = {rows, layout.columns};
    grid.Create(VT_VARIANT, 2, size);
    // One lock for the whole table: every element is written in place.
    CVariantGrid cells(grid);
    CRecordCutter cutter(layout);
    for (ULONG i = 1; i <= rows; ++i) {
        CheckResult(store->ReadRow(i, layout.recordLength, cutter.RecordBuffer()),
                    InterfaceTraits<IHostRowStore>::Id());
        cutter.PutRow(cells, static_cast<LONG>(i - 1));
    }
    return TRUE;
}

BOOL COrlinTableData::WriteRecords(const COleSafeArray& grid, ComPtr<IHostTable> table, const WriteLayout& layout) {
    if (!table) return FALSE;
    // Only a 2-D grid of variants has rows to write; any other value fails
    // as a grid without an array fails on its bounds.
    if (!grid.HasShape(VT_VARIANT, 2)) RaiseError(E_INVALIDARG);
    const LONG rows = grid.GetCount(1);
    ComPtr<IHostRowStore> store = RowStoreOf(*table);
    if (!store) return FALSE;
    CheckResult(store->ClearRows(), InterfaceTraits<IHostRowStore>::Id());
    const CVariantGrid cells(grid);
    CRecordBuilder builder(layout);
    for (LONG r = 0; r < rows; ++r)
        if (const char* record = builder.Build(cells, r))
            CheckResult(store->AppendRow(layout.recordLength, record), InterfaceTraits<IHostRowStore>::Id());
    return TRUE;
}
