// CVantorStrings: the chart's user-interface strings, numbered, sent to the
// chart as one grid.
#pragma once

#include "tables/RecordTable.h"

namespace vantor_strings {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,    6,  Long,   0},      // string number
    {   6,   60,  Text,   2},      // text
};
inline constexpr ConstantCell kConstants[] = {{1, VT_I4, 0}};
inline constexpr FillLayout kFill310{66, 3, kFields, kConstants};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310};
}  // namespace vantor_strings

class CVantorStrings : public CRecordTable<vantor_strings::kLayouts> {};
