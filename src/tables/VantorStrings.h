// CVantorStrings: the chart's user-interface strings, numbered, sent to the
// chart as one grid.
#pragma once

#include "tables/SingleLayoutTable.h"

namespace vantor_strings {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,    6,  Long,   0},      // string number
    {   6,   60,  Text,   2},      // text
};
inline constexpr ConstantCell kConstants[] = {{1, VT_I4, 0}};
inline constexpr FillLayout kLayout{66, 3, kFields, kConstants};
}  // namespace vantor_strings

class CVantorStrings : public CSingleLayoutTable<vantor_strings::kLayout> {};
