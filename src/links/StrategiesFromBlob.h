// CStrategiesFromBlob: the chart's compact strategies (chart property 80),
// both ways, one layout for every version. The two numbers stand in the
// record in the opposite order to their grid columns.
#pragma once

#include "tables/RecordTable.h"

namespace strategies_from_blob {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Key,    0},   // strategy key
    {  10,    4,  Long,   2},
    {  14,    6,  Long,   1},
};
// Written in column order.
inline constexpr WriteFieldSpec kWriteFields[] = {
    // offset width column
    {   0,   10,   0},
    {  14,    6,   1},
    {  10,    4,   2},
};
inline constexpr RecordLayouts kLayouts{.fill310 = FillLayout{20, 3, kFields},
                                        .write310 = WriteLayout{20, kWriteFields}};
}  // namespace strategies_from_blob

class CStrategiesFromBlob : public CRecordTable<strategies_from_blob::kLayouts> {};
