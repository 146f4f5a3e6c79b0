// The module's resource identifiers and its string table.
#pragma once

#include "platform/Automation.h"

namespace resources {

constexpr UINT IDS_TESSELADAPTER = 1;              // the control's user type name
constexpr UINT IDS_TESSELADAPTER_PPG = 2;          // the property page's registered name
constexpr UINT IDS_TESSELADAPTER_PPG_CAPTION = 200;
constexpr UINT IDB_TESSELADAPTER = 1;              // the toolbox bitmap
constexpr UINT IDD_PROPPAGE_TESSELADAPTER = 200;   // the property page's dialog
constexpr UINT IDR_TYPELIB = 1;                    // the type library, of resource type TYPELIB

struct StringResource {
    UINT id;
    LPCOLESTR text;
};

inline constexpr StringResource kStringTable[] = {
    {IDS_TESSELADAPTER, OLESTR("Vantor TesselAdapter Control")},
    {IDS_TESSELADAPTER_PPG, OLESTR("Vantor TesselAdapter Property Page")},
    {IDS_TESSELADAPTER_PPG_CAPTION, OLESTR("General")},
};

// The string's text; an empty text for an identifier the table lacks.
constexpr LPCOLESTR ModuleString(UINT id) {
    for (const StringResource& entry : kStringTable)
        if (entry.id == id) return entry.text;
    return OLESTR("");
}

}  // namespace resources
