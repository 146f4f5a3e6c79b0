// What a table member of the dispatch map reads: the form of its table, the
// converter's layouts and which of them it uses at each version. The entries
// that route a table carry one, made from the same template arguments as the
// entry's setter and getter, so that a tool describing or checking a table
// reads exactly what the member does. Other members carry none.
#pragma once

#include <cstdint>

#include "tables/LayoutVersion.h"
#include "tables/RecordTable.h"

enum class TableForm : std::uint8_t {
    Records,  // fixed-width records through IHostTable
    Chunks,   // blob chunk records through IHostTable
    Cells,    // a cell table through IHostCellTable
};

struct MemberDetail {
    TableForm form;
    const RecordLayouts* records;  // Records: the converter's layouts; else null
    LayoutPaths fill;              // the layout the setter reads at each version
    bool collected;                // the setter keeps the grid for AddTemplate / AddTemplateEx to send
    bool writesBack;               // the getter writes the chart's data back into a kept table
    LayoutPaths writeBack;         // ... in this layout at each version
};
