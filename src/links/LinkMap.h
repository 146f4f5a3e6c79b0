// CLinkMap: the link map of a template. Sixteen fields of ten characters;
// each group of four (three keys and a link number) has the shape of one
// end pair of a links row.
#pragma once

#include "tables/RecordTable.h"

namespace link_map {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   10,  Text,   0},  {  10,   10,  Text,   1},  {  20,   10,  Text,   2},  {  30,   10,  Long,   3},
    {  40,   10,  Text,   4},  {  50,   10,  Text,   5},  {  60,   10,  Text,   6},  {  70,   10,  Long,   7},
    {  80,   10,  Text,   8},  {  90,   10,  Text,   9},  { 100,   10,  Text,  10},  { 110,   10,  Long,  11},
    { 120,   10,  Text,  12},  { 130,   10,  Text,  13},  { 140,   10,  Text,  14},  { 150,   10,  Long,  15},
};
inline constexpr FillLayout kFill310{160, 16, kFields};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310};
}  // namespace link_map

class CLinkMap : public CRecordTable<link_map::kLayouts> {};
