#include "scorecard/TreeItems.h"

#include "platform/VariantGrid.h"

// Two passes: the keys of column 1 size every group's grid first, so no
// grid ever grows; then each row goes into its group's next grid row.
BOOL CTreeItems::Fill(ComPtr<IHostCellTable> table, const tree_items::RowLayout& layout) {
    groups_.clear();
    if (!table) return FALSE;
    const LONG rows = CellRowCount(*table);
    const LONG columns = CellColumnCount(*table);
    if (!MakeGroups(*table, rows, columns)) return FALSE;
    LONG row = 1;
    for (tagObjectiveData& group : groups_) {
        // One lock per group: its cells are written in place.
        CVariantGrid cells(group.rows);
        for (LONG k = 0; k < cells.Rows(); ++k, ++row) PutRow(*table, layout, row, columns, cells, group.rowKey, k);
    }
    return TRUE;
}

// Runs of equal keys (exact, case-sensitive), in table order. The last run
// is always added, so a table without rows gives one group with the empty
// key and no rows.
bool CTreeItems::MakeGroups(IHostCellTable& table, LONG rows, LONG columns) {
    std::string key;
    LONG count = 0;
    for (LONG r = 1; r <= rows; ++r) {
        std::string text = AnsiText(CellOf(table, r, tree_items::kKeyCell));
        if (text == key) {
            ++count;
            continue;
        }
        if (count != 0 && !AddGroup(std::move(key), count, columns)) return false;
        key = std::move(text);
        count = 1;
    }
    return AddGroup(std::move(key), count, columns);
}

bool CTreeItems::AddGroup(std::string key, LONG count, LONG columns) {
    tagObjectiveData& group = groups_.emplace_back();
    group.objectiveKey = std::move(key);
    // The key's column is not part of the grid.
    const DWORD size[2] = {static_cast<DWORD>(count), static_cast<DWORD>(columns > 0 ? columns - 1 : 0)};
    if (group.rows.TryCreate(VT_VARIANT, 2, size)) return true;
    groups_.clear();
    return false;
}

// A table narrower than the layout fails on the first cell it lacks.
void CTreeItems::PutRow(IHostCellTable& table, const tree_items::RowLayout& layout, LONG row, LONG columns,
                        CVariantGrid& cells, std::string& rowKey, LONG k) {
    const auto take = [&](LONG cell) {
        COleVariant value = CellOf(table, row, cell);
        if (cell == layout.number) return LongOfCell(std::move(value));
        if (layout.rowKey && cell == tree_items::kRowKeyCell) rowKey = AnsiText(value);
        return value;
    };
    cells.Put(k, 0, take(layout.column0));
    if (layout.column1 != 0) cells.Put(k, 1, take(layout.column1));
    for (LONG c = layout.firstPlain; c <= columns; ++c) cells.Put(k, c - 2, CellOf(table, row, c));
}
