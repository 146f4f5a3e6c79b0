// CPerspectives: the perspectives table, one record per perspective band,
// into the grid of chart property 3. Grid rows are addressed by the
// record's sequence number, not by reading order.
#pragma once

#include "tables/RecordTable.h"

namespace perspectives {
using enum FieldUse;

// Layout 310; layout 30 is its first seven fields, layout 20 its first five.
inline constexpr FieldSpec kFields[] = {
    // offset width use     column also
    {   0,    2,  Row},                  // P1 sequence number, from 1
    {   2,   10,  Key,      0},          // P2 key
    {  12,   60,  Text,     2,     3},   // P3 text, twice
    {  72,   30,  Skip},                 // P4 second text
    { 102,   15,  Text,     1},          // P5 short text
    { 117,    1,  Digit,    4},          // P6 digit ...
    { 118,    1,  Marker,   4},          // P7 ... taken when "X"
    { 119,   10,  Text,     5},          // P8
    { 129,   10,  Short,    6},          // P9 number
};
inline constexpr ConstantCell kNoDigit[] = {{4, VT_I2, 99}};

inline constexpr FillLayout kFill310{139, 7, kFields};
inline constexpr FillLayout kFill30{119, 5, std::span(kFields).first(7)};
inline constexpr FillLayout kFill20{117, 5, std::span(kFields).first(5), kNoDigit};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310, .fill30 = kFill30, .fill20 = kFill20};
}  // namespace perspectives

class CPerspectives : public CRecordTable<perspectives::kLayouts> {};
