// CObjectives: the objectives table, the one scorecard table that travels
// both ways: records into the grid of chart property 4, and the chart's
// grid back into records of the table the host lent for it.
#pragma once

#include "tables/RecordTable.h"

namespace objectives {
using enum FieldUse;

// Layout 310; layout 30 is its first twelve fields.
inline constexpr FieldSpec kFields[] = {
    // offset width use     column also       bit
    {   0,   10,  Key,      0},                      // O1 key
    {  10,   10,  Text,     4},                      // O2 key
    {  20,   10,  Text,     5},                      // O3 key
    {  30,    3,  Long,     6},                      // O4 number
    {  33,    1,  Long,     7},                      // O5 digit
    {  34,    1,  Flag,     8,     kNoColumn, 1},    // O6
    {  35,    1,  Flag,     8,     kNoColumn, 2},    // O7
    {  36,    1,  Skip},                             // O8, written back only
    {  37,    1,  Flag,     8,     kNoColumn, 4},    // O9
    {  38,   60,  Text,     2,     3},               // O10 text, twice
    {  98,   30,  Skip},                             // O11, written back only
    { 128,   15,  Text,     1},                      // O12 short text
    { 143,   10,  Short,   10},                      // O13 number
    { 153,   10,  Text,     9},                      // O14
};
inline constexpr FillLayout kFill310{163, 11, kFields};
inline constexpr FillLayout kFill30{143, 9, std::span(kFields).first(12)};

// The chart's grid back into records: columns 0 to 6 as text, column 7 a
// flag word; O5, O9, O13 and O14 stay blank.
inline constexpr WriteFieldSpec kWriteFields[] = {
    // offset width column bit
    {   0,   10,   0},        // O1
    { 128,   15,   1},        // O12
    {  98,   30,   2},        // O11
    {  38,   60,   3},        // O10
    {  10,   10,   4},        // O2
    {  20,   10,   5},        // O3
    {  30,    3,   6},        // O4
    {  36,    1,   7,   4},   // O8
    {  35,    1,   7,   2},   // O7
    {  34,    1,   7,   1},   // O6
};
inline constexpr WriteLayout kWrite310{163, kWriteFields};
inline constexpr WriteLayout kWrite30{143, kWriteFields};
inline constexpr RecordLayouts kLayouts{
    .fill310 = kFill310, .write310 = kWrite310, .fill30 = kFill30, .write30 = kWrite30};
}  // namespace objectives

class CObjectives : public CRecordTable<objectives::kLayouts> {};
