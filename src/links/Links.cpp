#include "links/Links.h"

namespace {

using enum FieldUse;

// Layouts 310 and 30 add the two key-3 fields and move the link number to
// the end; fields both layouts have keep their offsets and columns.
constexpr FieldSpec kFields310[] = {
    // offset width use    column also
    {   0,   10,  Text,    0},          // end 1, key 1
    {  10,   10,  Text,    4},          // end 2, key 1
    {  20,   10,  Text,    2},          // end 1, key 2
    {  30,   10,  Text,    6},          // end 2, key 2
    {  40,   10,  Text,    1},          // end 1, key 3
    {  50,   10,  Text,    5},          // end 2, key 3
    {  60,    3,  Long,    3,     7},   // link number, for both ends
};
constexpr FieldSpec kFields20[] = {
    {   0,   10,  Text,    0},
    {  10,   10,  Text,    4},
    {  20,   10,  Text,    2},
    {  30,   10,  Text,    6},
    {  40,    3,  Long,    3,     7},
};
constexpr FillLayout kFill310{63, 8, kFields310};
constexpr FillLayout kFill20{43, 8, kFields20};
static_assert(kFill310.IsValid() && kFill20.IsValid());

// Written back from the same columns; the link number comes from column 3.
constexpr WriteFieldSpec kWriteFields310[] = {
    {0, 10, 0}, {10, 10, 4}, {20, 10, 2}, {30, 10, 6}, {40, 10, 1}, {50, 10, 5}, {60, 3, 3},
};
constexpr WriteFieldSpec kWriteFields20[] = {
    {0, 10, 0}, {10, 10, 4}, {20, 10, 2}, {30, 10, 6}, {40, 3, 3},
};
constexpr WriteLayout kWrite310{63, kWriteFields310};
constexpr WriteLayout kWrite20{43, kWriteFields20};
static_assert(kWrite310.IsValid() && kWrite20.IsValid());

}  // namespace

BOOL CLinks::Fill310(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kFill310); }
BOOL CLinks::Fill20(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kFill20); }
BOOL CLinks::WriteBackRows310(ComPtr<IHostTable> table) { return WriteRecords(*this, std::move(table), kWrite310); }
BOOL CLinks::WriteBackRows20(ComPtr<IHostTable> table) { return WriteRecords(*this, std::move(table), kWrite20); }
