// The chart's members, known by dispatch identifier only.
#pragma once

#include "platform/Automation.h"

namespace chart {

// A table that is converted and sent to no member.
inline constexpr DISPID kNoMember = DISPID_UNKNOWN;

// Properties.
inline constexpr DISPID kPresentationMode = 1;
inline constexpr DISPID kStrategies = 2;
inline constexpr DISPID kPerspectives = 3;
inline constexpr DISPID kObjectives = 4;
inline constexpr DISPID kMeasureFields = 7;
inline constexpr DISPID kInitiativeFields = 8;
inline constexpr DISPID kLinks = 10;
inline constexpr DISPID kBlob = 11;
inline constexpr DISPID kColours = 12;
inline constexpr DISPID kStatusBitmapVersion = 15;
inline constexpr DISPID kMovingRestrictions = 16;
inline constexpr DISPID kFontHeight = 22;
inline constexpr DISPID kFontHeightToo = 23;
inline constexpr DISPID kInitiativeData = 36;       // indexed by objective key
inline constexpr DISPID kMeasureData = 37;          // indexed by objective key
inline constexpr DISPID kMouseOver = 69;
inline constexpr DISPID kAdditionalMeasureItem = 77;  // indexed by objective key
inline constexpr DISPID kObjectivesFromBlob = 79;
inline constexpr DISPID kStrategiesFromBlob = 80;
inline constexpr DISPID kPerspectivesFromBlob = 81;
inline constexpr DISPID kLinksFromBlob = 82;

// Methods.
inline constexpr DISPID kEnableContextMenuItem = 27;  // (long item, boolean enable)
inline constexpr DISPID kShowContextMenuItem = 28;    // (long item)
inline constexpr DISPID kHideContextMenuItem = 29;    // (long item)
inline constexpr DISPID kUIStrings = 31;              // (variant grid) -> boolean
inline constexpr DISPID kSaveImage = 33;              // (text path, long format) -> boolean
inline constexpr DISPID kFont = 38;                   // (text face, short charset, short pitch)
inline constexpr DISPID kTreeRows = 42;               // (text, text, boolean, variant) -> boolean
inline constexpr DISPID kObjectiveSelection = 43;     // (out text x3) -> boolean
inline constexpr DISPID kMatrixSelection = 45;        // (out text x2) -> boolean
inline constexpr DISPID kAddTemplate = 59;            // (8 variants) -> long
inline constexpr DISPID kContextMenuEntry = 65;       // (text, text, short, short) -> long
inline constexpr DISPID kBlobOfVersion = 70;          // (long) -> variant
inline constexpr DISPID kSelectedStrategy = 73;       // () -> text
inline constexpr DISPID kAddTemplateEx = 83;          // (11 variants) -> long

}  // namespace chart
