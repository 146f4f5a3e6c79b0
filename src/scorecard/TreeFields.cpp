#include "scorecard/TreeFields.h"

namespace {

using enum FieldUse;

constexpr FieldSpec kFields310[] = {
    // offset width use    column
    {   0,    3,  Row},            // F1 position, from 1
    {   3,   60,  Text,    0},     // F2 title
    {  63,    2,  Long,    1},     // F3
    {  65,   10,  Long,    2},     // F4
};
// Layout 30 has a 30-character title.
constexpr FieldSpec kFields30[] = {
    {   0,    3,  Row},
    {   3,   30,  Text,    0},
    {  33,    2,  Long,    1},
    {  35,   10,  Long,    2},
};
constexpr FillLayout kLayout310{75, 3, kFields310};
constexpr FillLayout kLayout30{45, 3, kFields30};
static_assert(kLayout310.IsValid() && kLayout30.IsValid());

}  // namespace

BOOL CTreeFields::Fill310(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout310); }
BOOL CTreeFields::Fill30(ComPtr<IHostTable> table) { return FillRecords(*this, std::move(table), kLayout30); }
BOOL CTreeFields::WriteBackRows310(ComPtr<IHostTable> table) { return Unsupported(std::move(table)); }
