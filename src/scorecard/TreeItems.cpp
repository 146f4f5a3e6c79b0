#include "scorecard/TreeItems.h"

#include <optional>

#include "platform/VariantGrid.h"

// Two passes: the keys of column 1 size every group's grid first, so no
// grid ever grows; then each row is taken again as the grouping took it. Its
// key, read again, steps to the next group where it changes (and at the
// first row), and its cells go into that group's next grid row. A host whose
// keys change between the passes finds no such group or grid row: the fill
// fails with DISP_E_BADINDEX.
BOOL CTreeItems::Fill(ComPtr<IHostCellTable> table, const tree_items::RowLayout& layout) {
    groups_.clear();
    if (!table) return FALSE;
    const LONG rows = CellRowCount(*table);
    const LONG columns = CellColumnCount(*table);
    if (!MakeGroups(*table, rows, columns)) return FALSE;
    auto group = groups_.begin();
    std::optional<CVariantGrid> cells;  // the group's grid, locked while its cells are written
    std::string key;
    LONG k = 0;
    for (LONG row = 1; row <= rows; ++row) {
        std::string text = AnsiText(CellOf(*table, row, tree_items::kKeyCell));
        if (row == 1 || text != key) {
            if (row > 1) ++group;
            if (group == groups_.end()) RaiseError(DISP_E_BADINDEX);
            cells.emplace(group->rows);
            key = std::move(text);
            k = 0;
        }
        PutRow(*table, layout, row, columns, *cells, group->rowKey, k++);
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

// A table narrower than the layout fails on the first cell it lacks. Cell 3
// is read once to name the group's last row and once more for its grid cell.
void CTreeItems::PutRow(IHostCellTable& table, const tree_items::RowLayout& layout, LONG row, LONG columns,
                        CVariantGrid& cells, std::string& rowKey, LONG k) {
    if (layout.rowKey) rowKey = AnsiText(CellOf(table, row, tree_items::kRowKeyCell));
    const auto take = [&](LONG cell) {
        COleVariant value = CellOf(table, row, cell);
        if (cell == layout.number) return LongOfCell(std::move(value));
        return value;
    };
    cells.Put(k, 0, take(layout.column0));
    if (layout.column1 != 0) cells.Put(k, 1, take(layout.column1));
    for (LONG c = layout.firstPlain; c <= columns; ++c) cells.Put(k, c - 2, CellOf(table, row, c));
}
