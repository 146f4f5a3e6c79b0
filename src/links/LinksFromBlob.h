// CLinksFromBlob: the chart's compact links (chart property 82), both ways,
// one layout for every version. A grid row is the link number and three
// sections of five columns; each section opens with a fixed tag (1, 1, 2)
// and the first two repeat the link number.
#pragma once

#include "tables/RecordTable.h"

namespace links_from_blob {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column also       bit third
    {   0,    3,  Long,   0,     4,         0,  9},   // link number, in every section
    {   3,   10,  Text,   2},                          // section 1, key 1
    {  13,   10,  Text,   3},                          // section 1, key 2
    {  23,    2,  Long,   5},                          // section 1, number
    {  25,    2,  Skip},                               // reserved
    {  27,   10,  Text,   7},                          // section 2, key 1
    {  37,   10,  Text,   8},                          // section 2, key 2
    {  47,    2,  Long,  10},                          // section 2, number
    {  49,    2,  Skip},                               // reserved
    {  51,    6,  Long,  12},                          // section 3, numbers 1 to 4
    {  57,    6,  Long,  13},
    {  63,    6,  Long,  14},
    {  69,    6,  Long,  15},
};
inline constexpr ConstantCell kSectionTags[] = {{1, VT_I4, 1}, {6, VT_I4, 1}, {11, VT_I4, 2}};

// The copies of the link number (columns 4 and 9) are not written back.
inline constexpr WriteFieldSpec kWriteFields[] = {
    // offset width column
    {   0,    3,   0},   // 0
    {   3,   10,   2},   // 1
    {  13,   10,   3},   // 2
    {  23,    2,   5},   // 3
    {  27,   10,   7},   // 4
    {  37,   10,   8},   // 5
    {  47,    2,  10},   // 6
    {  51,    6,  12},   // 7
    {  57,    6,  13},   // 8
    {  63,    6,  14},   // 9
    {  69,    6,  15},   // 10
};
// A row whose first two tags are not 1 is not a link; without tag 2 the
// third section stays blank.
inline constexpr WriteGuard kSectionGuards[] = {
    // before field, column, text, on a miss
    {1,  1, "1", GuardMiss::SkipRow},
    {4,  6, "1", GuardMiss::SkipRow},
    {7, 11, "2", GuardMiss::BlankFields, 11},
};
inline constexpr RecordLayouts kLayouts{.fill310 = FillLayout{75, 16, kFields, kSectionTags},
                                        .write310 = WriteLayout{75, kWriteFields, kSectionGuards}};
}  // namespace links_from_blob

class CLinksFromBlob : public CRecordTable<links_from_blob::kLayouts> {};
