// CMouseOver: the chart's mouse-over texts.
#pragma once

#include "tables/RecordTable.h"

namespace mouse_over {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Text,   0},
    {  10,    2,  Text,   1},
    {  12,   60,  Text,   2},
    {  72,   60,  Text,   3},
};
inline constexpr FillLayout kFill310{132, 4, kFields};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310};
}  // namespace mouse_over

class CMouseOver : public CRecordTable<mouse_over::kLayouts> {};
