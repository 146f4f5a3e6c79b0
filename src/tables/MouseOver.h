// CMouseOver: the chart's mouse-over texts.
#pragma once

#include "tables/SingleLayoutTable.h"

namespace mouse_over {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Text,   0},
    {  10,    2,  Text,   1},
    {  12,   60,  Text,   2},
    {  72,   60,  Text,   3},
};
inline constexpr FillLayout kLayout{132, 4, kFields};
}  // namespace mouse_over

class CMouseOver : public CSingleLayoutTable<mouse_over::kLayout> {};
