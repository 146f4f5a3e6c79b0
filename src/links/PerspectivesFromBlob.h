// CPerspectivesFromBlob: the chart's compact perspectives (chart property
// 81), both ways, one layout for every version.
#pragma once

#include "tables/RecordTable.h"

namespace perspectives_from_blob {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Key,    0},   // perspective key
    {  10,    6,  Long,   1},
    {  16,    2,  Long,   2},
};
inline constexpr WriteFieldSpec kWriteFields[] = {
    // offset width column
    {   0,   10,   0},
    {  10,    6,   1},
    {  16,    2,   2},
};
inline constexpr RecordLayouts kLayouts{.fill310 = FillLayout{18, 3, kFields},
                                        .write310 = WriteLayout{18, kWriteFields}};
}  // namespace perspectives_from_blob

class CPerspectivesFromBlob : public CRecordTable<perspectives_from_blob::kLayouts> {};
