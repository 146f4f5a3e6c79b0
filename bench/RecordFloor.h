// The floor of a record fill and of a write-back: the work either one cannot
// avoid, written as directly as it can be, to stand beside the converters in
// the same run.
//
// Fill: read each record once, find each field's end, one string per text
// element converted with one table lookup per byte, numbers read in place,
// every element written straight into a grid allocated once.
// Write-back: read each grid cell in place, convert it, build the record,
// one AppendRow per record.
#pragma once

#include "platform/OleSafeArray.h"
#include "tables/HostTable.h"
#include "tables/RecordLayout.h"

namespace bench {

// Leaves in `grid` what the converter's fill of the same layout leaves.
void FloorFill(COleSafeArray& grid, IHostTable& table, const FillLayout& layout);
// Whether two grids of the floor's kinds of element (texts, 16- and 32-bit
// numbers, booleans) hold the same elements in the same places: a floor that
// leaves out work would stand too low.
bool SameGrid(const COleSafeArray& a, const COleSafeArray& b);
// Appends to `table` what the converter's write-back of the same layout
// appends, for grids of texts and 16- and 32-bit numbers.
void FloorWriteBack(const COleSafeArray& grid, IHostTable& table, const WriteLayout& layout);

}  // namespace bench
