// CTreeItems: measure and initiative data from a cell table, grouped by
// objective. Column 1 of the table holds the objective's key; each run of
// consecutive rows with one key becomes one group with its own grid of the
// remaining columns, and the groups stay in table order.
#pragma once

#include <list>
#include <string>

#include "platform/OleSafeArray.h"
#include "platform/VariantGrid.h"
#include "tables/LayoutVersion.h"
#include "tables/TableOCXData.h"

namespace tree_items {

// Where a table row's leading cells go in its grid row; from `firstPlain`
// on, cell c goes unchanged into grid column c - 2.
struct RowLayout {
    LONG column0;     // the cell put into grid column 0
    LONG column1;     // the cell put into grid column 1; 0: a plain cell
    LONG number;      // the cell taken as VT_I4; 0: none
    bool rowKey;      // cell 3 also names the group's last row
    LONG firstPlain;
};
inline constexpr LONG kKeyCell = 1;
inline constexpr LONG kRowKeyCell = 3;

inline constexpr RowLayout kRows310{3, 2, 0, true, 4};
inline constexpr RowLayout kRows30{3, 2, 2, true, 4};
inline constexpr RowLayout kRows20{2, 0, 2, false, 3};

constexpr const RowLayout& RowsOf(Layout layout) noexcept {
    return layout == Layout::V310 ? kRows310 : layout == Layout::V30 ? kRows30 : kRows20;
}

}  // namespace tree_items

class CTreeItems : public CTableOCXData {
public:
    struct tagObjectiveData {
        std::string rowKey;        // ANSI text; empty in layout 20
        std::string objectiveKey;  // ANSI text
        COleSafeArray rows;        // its rows by the table's columns but the key
    };
    // A list: groups never move, so their grids are never copied.
    using GroupList = std::list<tagObjectiveData>;

    BOOL Fill310(ComPtr<IHostCellTable> table) override { return Fill(std::move(table), tree_items::RowsOf(Layout::V310)); }
    BOOL Fill30(ComPtr<IHostCellTable> table) override { return Fill(std::move(table), tree_items::RowsOf(Layout::V30)); }
    BOOL Fill20(ComPtr<IHostCellTable> table) override { return Fill(std::move(table), tree_items::RowsOf(Layout::V20)); }

    const GroupList& Groups() const noexcept { return groups_; }

private:
    BOOL Fill(ComPtr<IHostCellTable> table, const tree_items::RowLayout& layout);
    bool MakeGroups(IHostCellTable& table, LONG rows, LONG columns);
    bool AddGroup(std::string key, LONG count, LONG columns);
    static void PutRow(IHostCellTable& table, const tree_items::RowLayout& layout, LONG row, LONG columns,
                       CVariantGrid& cells, std::string& rowKey, LONG k);

    GroupList groups_;
};
