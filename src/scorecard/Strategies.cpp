#include "scorecard/Strategies.h"

namespace {

using enum FieldUse;

// Layout 310; layout 30 is its first six fields, layout 20 its first four.
// The two trailing fields enter the grid in the reverse of record order.
constexpr FieldSpec kStrategyFields[] = {
    // offset width use     column also
    {   0,   10,  Text,     0},          // S1 key
    {  10,   60,  Text,     2,     3},   // S2 text, twice
    {  70,   30,  Skip},                 // S3 second text
    { 100,   15,  Text,     1},          // S4 short text
    { 115,    1,  Digit,    5},          // S5 digit ...
    { 116,    1,  Marker,   5},          // S6 ... taken when "X"
    { 117,   10,  Short,    7},          // S7 number
    { 127,   10,  Text,     6},          // S8
};
constexpr ConstantCell kShown[] = {{4, VT_BOOL, VARIANT_TRUE}};
constexpr ConstantCell kShownNoDigit[] = {{4, VT_BOOL, VARIANT_TRUE}, {5, VT_I2, 99}};

constexpr FillLayout kLayout310{137, 8, kStrategyFields, kShown};
constexpr FillLayout kLayout30{117, 6, std::span(kStrategyFields).first(6), kShown};
constexpr FillLayout kLayout20{115, 6, std::span(kStrategyFields).first(4), kShownNoDigit};
static_assert(kLayout310.IsValid() && kLayout30.IsValid() && kLayout20.IsValid());

}  // namespace

BOOL CStrategies::Fill310(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout310); }
BOOL CStrategies::Fill30(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout30); }
BOOL CStrategies::Fill20(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout20); }
BOOL CStrategies::WriteBackRows310(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
