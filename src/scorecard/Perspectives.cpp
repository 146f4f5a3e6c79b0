#include "scorecard/Perspectives.h"

namespace {

using enum FieldUse;

// Layout 310; layout 30 is its first seven fields, layout 20 its first five.
constexpr FieldSpec kPerspectiveFields[] = {
    // offset width use     column also
    {   0,    2,  Row},                  // P1 sequence number, from 1
    {   2,   10,  Text,     0},          // P2 key
    {  12,   60,  Text,     2,     3},   // P3 text, twice
    {  72,   30,  Skip},                 // P4 second text
    { 102,   15,  Text,     1},          // P5 short text
    { 117,    1,  Digit,    4},          // P6 digit ...
    { 118,    1,  Marker,   4},          // P7 ... taken when "X"
    { 119,   10,  Text,     5},          // P8
    { 129,   10,  Short,    6},          // P9 number
};
constexpr ConstantCell kNoDigit[] = {{4, VT_I2, 99}};

constexpr FillLayout kLayout310{139, 7, kPerspectiveFields};
constexpr FillLayout kLayout30{119, 5, std::span(kPerspectiveFields).first(7)};
constexpr FillLayout kLayout20{117, 5, std::span(kPerspectiveFields).first(5), kNoDigit};
static_assert(kLayout310.IsValid() && kLayout30.IsValid() && kLayout20.IsValid());

}  // namespace

BOOL CPerspectives::Fill310(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout310); }
BOOL CPerspectives::Fill30(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout30); }
BOOL CPerspectives::Fill20(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout20); }
BOOL CPerspectives::WriteBackRows310(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
