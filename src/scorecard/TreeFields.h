// CTreeFields: a measure or initiative field catalogue, one record per
// field, into a grid ordered by the fields' position numbers.
#pragma once

#include "tables/RecordTable.h"

namespace tree_fields {
using enum FieldUse;

inline constexpr FieldSpec kFields310[] = {
    // offset width use    column
    {   0,    3,  Row},            // F1 position, from 1
    {   3,   60,  Text,    0},     // F2 title
    {  63,    2,  Long,    1},     // F3
    {  65,   10,  Long,    2},     // F4
};
// Layout 30 has a 30-character title.
inline constexpr FieldSpec kFields30[] = {
    {   0,    3,  Row},
    {   3,   30,  Text,    0},
    {  33,    2,  Long,    1},
    {  35,   10,  Long,    2},
};
inline constexpr FillLayout kFill310{75, 3, kFields310};
inline constexpr FillLayout kFill30{45, 3, kFields30};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310, .fill30 = kFill30};
}  // namespace tree_fields

class CTreeFields : public CRecordTable<tree_fields::kLayouts> {};
