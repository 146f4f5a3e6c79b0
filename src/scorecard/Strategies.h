// CStrategies: the strategies table, one record per strategy, into the grid
// of chart property 2. Grid rows follow the reading order.
#pragma once

#include "tables/RecordTable.h"

namespace strategies {
using enum FieldUse;

// Layout 310; layout 30 is its first six fields, layout 20 its first four.
// The two trailing fields enter the grid in the reverse of record order.
inline constexpr FieldSpec kFields[] = {
    // offset width use     column also
    {   0,   10,  Key,      0},          // S1 key
    {  10,   60,  Text,     2,     3},   // S2 text, twice
    {  70,   30,  Skip},                 // S3 second text
    { 100,   15,  Text,     1},          // S4 short text
    { 115,    1,  Digit,    5},          // S5 digit ...
    { 116,    1,  Marker,   5},          // S6 ... taken when "X"
    { 117,   10,  Short,    7},          // S7 number
    { 127,   10,  Text,     6},          // S8
};
inline constexpr ConstantCell kShown[] = {{4, VT_BOOL, VARIANT_TRUE}};
inline constexpr ConstantCell kShownNoDigit[] = {{4, VT_BOOL, VARIANT_TRUE}, {5, VT_I2, 99}};

inline constexpr FillLayout kFill310{137, 8, kFields, kShown};
inline constexpr FillLayout kFill30{117, 6, std::span(kFields).first(6), kShown};
inline constexpr FillLayout kFill20{115, 6, std::span(kFields).first(4), kShownNoDigit};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310, .fill30 = kFill30, .fill20 = kFill20};
}  // namespace strategies

class CStrategies : public CRecordTable<strategies::kLayouts> {};
