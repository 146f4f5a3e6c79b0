// CLinks: links between objectives, four grid columns for each end. The
// setter only converts; the getter writes the chart's links back.
#pragma once

#include "tables/RecordTable.h"

namespace links {
using enum FieldUse;

// Layouts 310 and 30 add the two key-3 fields and move the link number to
// the end; fields both layouts have keep their offsets and columns.
inline constexpr FieldSpec kFields310[] = {
    // offset width use    column also
    {   0,   10,  Key,     0},          // end 1, key 1
    {  10,   10,  Key,     4},          // end 2, key 1
    {  20,   10,  Text,    2},          // end 1, key 2
    {  30,   10,  Text,    6},          // end 2, key 2
    {  40,   10,  Text,    1},          // end 1, key 3
    {  50,   10,  Text,    5},          // end 2, key 3
    {  60,    3,  Long,    3,     7},   // link number, for both ends
};
inline constexpr FieldSpec kFields20[] = {
    {   0,   10,  Key,     0},
    {  10,   10,  Key,     4},
    {  20,   10,  Text,    2},
    {  30,   10,  Text,    6},
    {  40,    3,  Long,    3,     7},
};
inline constexpr FillLayout kFill310{63, 8, kFields310};
inline constexpr FillLayout kFill20{43, 8, kFields20};

// Written back from the same columns; the link number comes from column 3.
inline constexpr WriteFieldSpec kWriteFields310[] = {
    {0, 10, 0}, {10, 10, 4}, {20, 10, 2}, {30, 10, 6}, {40, 10, 1}, {50, 10, 5}, {60, 3, 3},
};
inline constexpr WriteFieldSpec kWriteFields20[] = {
    {0, 10, 0}, {10, 10, 4}, {20, 10, 2}, {30, 10, 6}, {40, 3, 3},
};
inline constexpr WriteLayout kWrite310{63, kWriteFields310};
inline constexpr WriteLayout kWrite20{43, kWriteFields20};
inline constexpr RecordLayouts kLayouts{
    .fill310 = kFill310, .write310 = kWrite310, .fill20 = kFill20, .write20 = kWrite20};
}  // namespace links

class CLinks : public CRecordTable<links::kLayouts> {};
