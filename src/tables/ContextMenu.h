// CContextMenu: the chart's context-menu entries. The grid keeps all four
// fields as text; the numbers are read from it when the entries are sent.
#pragma once

#include "platform/CRuntime.h"
#include "tables/RecordTable.h"

namespace context_menu {
using enum FieldUse;
inline constexpr FieldSpec kFields[] = {
    // offset width use   column
    {   0,   15,  Text,   0},      // first number
    {  15,   60,  Text,   1},      // first text
    {  75,   15,  Text,   2},      // second number
    {  90,   15,  Text,   3},      // second text
};
inline constexpr FillLayout kFill310{105, 4, kFields};
inline constexpr RecordLayouts kLayouts{.fill310 = kFill310};
}  // namespace context_menu

class CContextMenu : public CRecordTable<context_menu::kLayouts> {
public:
    // A number cell as the chart gets it: the text read like atoi, cut to 16 bits.
    static COleVariant Number(const VARIANT& text) {
        return COleVariant(Cut16(AtoL(text.bstrVal, SysStringLen(text.bstrVal))), VT_I2);
    }
};
