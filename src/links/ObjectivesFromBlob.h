// CObjectivesFromBlob: the chart's compact objectives (chart property 79),
// both ways, one layout for every version. The second and third of the
// six-digit numbers are swapped between record and grid.
#pragma once

#include "tables/RecordTable.h"

namespace objectives_from_blob {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Key,    0},   // key 1
    {  10,   10,  Text,   1},   // key 2
    {  20,   10,  Text,   2},   // key 3
    {  30,    3,  Long,   3},
    {  33,    6,  Long,   4},
    {  39,    6,  Long,   6},
    {  45,    6,  Long,   5},
    {  51,    6,  Long,   7},
    {  57,    2,  Skip},         // reserved
    {  59,    2,  Skip},         // reserved
};
// Written in column order; the reserved fields stay blank.
inline constexpr WriteFieldSpec kWriteFields[] = {
    // offset width column
    {   0,   10,   0},
    {  10,   10,   1},
    {  20,   10,   2},
    {  30,    3,   3},
    {  33,    6,   4},
    {  45,    6,   5},
    {  39,    6,   6},
    {  51,    6,   7},
};
inline constexpr RecordLayouts kLayouts{.fill310 = FillLayout{61, 8, kFields},
                                        .write310 = WriteLayout{61, kWriteFields}};
}  // namespace objectives_from_blob

class CObjectivesFromBlob : public CRecordTable<objectives_from_blob::kLayouts> {};
