// Realistic records for any fill layout: text fields about two-thirds full
// of words (now and then a Windows-1252 letter or symbol), numbers of every
// width the field allows, row numbers that stay inside the grid, markers and
// flags set about half the time.
#pragma once

#include <cstddef>
#include <string>

#include "platform/ComPtr.h"
#include "standins/HostCellTable.h"
#include "standins/HostRecordTable.h"
#include "tables/RecordLayout.h"

namespace bench {

// Record `index` (from 0) of a table of `rows` records.
std::string SampleRecord(const FillLayout& layout, std::size_t index, std::size_t rows);

ComPtr<standins::HostRecordTable> SampleTable(const FillLayout& layout, std::size_t rows);

// A measure data table of `rows` cell rows, in groups of `groupRows` rows
// with one key each: the key, two texts, the row key and two numbers.
ComPtr<standins::HostCellTable> SampleCells(LONG rows, LONG groupRows);

// The chunk records of a layout blob of `bytes` bytes of varied content.
ComPtr<standins::HostRecordTable> ChunkTable(std::size_t bytes);

}  // namespace bench
