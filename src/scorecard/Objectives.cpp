#include "scorecard/Objectives.h"

namespace {

using enum FieldUse;

// Layout 310; layout 30 is its first twelve fields.
constexpr FieldSpec kObjectiveFields[] = {
    // offset width use     column also       bit
    {   0,   10,  Text,     0},                      // O1 key
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
constexpr FillLayout kFill310{163, 11, kObjectiveFields};
constexpr FillLayout kFill30{143, 9, std::span(kObjectiveFields).first(12)};
static_assert(kFill310.IsValid() && kFill30.IsValid());

// The chart's grid back into records: columns 0 to 6 as text, column 7 a
// flag word; O5, O9, O13 and O14 stay blank.
constexpr WriteFieldSpec kWriteFields[] = {
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
constexpr WriteLayout kWrite310{163, kWriteFields};
constexpr WriteLayout kWrite30{143, kWriteFields};
static_assert(kWrite310.IsValid() && kWrite30.IsValid());

}  // namespace

BOOL CObjectives::Fill310(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kFill310); }
BOOL CObjectives::Fill30(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kFill30); }
BOOL CObjectives::WriteBackRows310(ComPtr<IHostTable> table) { return WriteRecords(*this, std::move(table), kWrite310); }
BOOL CObjectives::WriteBackRows30(ComPtr<IHostTable> table) { return WriteRecords(*this, std::move(table), kWrite30); }
