// The chart's members, known by dispatch identifier only. Each carries the
// name tools show it by; kMembers lists them all, in identifier order.
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "platform/Automation.h"

namespace chart {

struct Member {
    DISPID id;
    std::string_view name;
    constexpr operator DISPID() const noexcept { return id; }
};

// A table that is converted and sent to no member.
inline constexpr DISPID kNoMember = DISPID_UNKNOWN;

// Properties.
inline constexpr Member kPresentationMode{1, "PresentationMode"};
inline constexpr Member kStrategies{2, "Strategies"};
inline constexpr Member kPerspectives{3, "Perspectives"};
inline constexpr Member kObjectives{4, "Objectives"};
inline constexpr Member kMeasureFields{7, "MeasureFields"};
inline constexpr Member kInitiativeFields{8, "InitiativeFields"};
inline constexpr Member kLinks{10, "Links"};
inline constexpr Member kBlob{11, "Blob"};
inline constexpr Member kColours{12, "Colours"};
inline constexpr Member kStatusBitmapVersion{15, "StatusBitmapVersion"};
inline constexpr Member kMovingRestrictions{16, "MovingRestrictions"};
inline constexpr Member kFontHeight{22, "FontHeight"};
inline constexpr Member kFontHeightToo{23, "FontHeightToo"};
inline constexpr Member kInitiativeData{36, "InitiativeData"};  // indexed by objective key
inline constexpr Member kMeasureData{37, "MeasureData"};        // indexed by objective key
inline constexpr Member kMouseOver{69, "MouseOver"};
inline constexpr Member kAdditionalMeasureItem{77, "AdditionalMeasureItem"};  // indexed by objective key
inline constexpr Member kObjectivesFromBlob{79, "ObjectivesFromBlob"};
inline constexpr Member kStrategiesFromBlob{80, "StrategiesFromBlob"};
inline constexpr Member kPerspectivesFromBlob{81, "PerspectivesFromBlob"};
inline constexpr Member kLinksFromBlob{82, "LinksFromBlob"};

// Methods.
inline constexpr Member kEnableContextMenuItem{27, "EnableContextMenuItem"};  // (long item, boolean enable)
inline constexpr Member kShowContextMenuItem{28, "ShowContextMenuItem"};      // (long item)
inline constexpr Member kHideContextMenuItem{29, "HideContextMenuItem"};      // (long item)
inline constexpr Member kUIStrings{31, "UIStrings"};                          // (variant grid) -> boolean
inline constexpr Member kSaveImage{33, "SaveImage"};                  // (text path, long format) -> boolean
inline constexpr Member kFont{38, "Font"};                            // (text face, short charset, short pitch)
inline constexpr Member kTreeRows{42, "TreeRows"};                    // (text, text, boolean, variant) -> boolean
inline constexpr Member kObjectiveSelection{43, "ObjectiveSelection"};  // (out text x3) -> boolean
inline constexpr Member kMatrixSelection{45, "MatrixSelection"};        // (out text x2) -> boolean
inline constexpr Member kAddTemplate{59, "AddTemplate"};                // (8 variants) -> long
inline constexpr Member kContextMenuEntry{65, "ContextMenuEntry"};      // (text, text, short, short) -> long
inline constexpr Member kBlobOfVersion{70, "BlobOfVersion"};            // (long) -> variant
inline constexpr Member kSelectedStrategy{73, "SelectedStrategy"};      // () -> text
inline constexpr Member kAddTemplateEx{83, "AddTemplateEx"};            // (11 variants) -> long

inline constexpr Member kMembers[] = {
    kPresentationMode, kStrategies, kPerspectives, kObjectives, kMeasureFields, kInitiativeFields, kLinks, kBlob,
    kColours, kStatusBitmapVersion, kMovingRestrictions, kFontHeight, kFontHeightToo, kEnableContextMenuItem,
    kShowContextMenuItem, kHideContextMenuItem, kUIStrings, kSaveImage, kInitiativeData, kMeasureData, kFont,
    kTreeRows, kObjectiveSelection, kMatrixSelection, kAddTemplate, kContextMenuEntry, kMouseOver, kBlobOfVersion,
    kSelectedStrategy, kAdditionalMeasureItem, kObjectivesFromBlob, kStrategiesFromBlob, kPerspectivesFromBlob,
    kLinksFromBlob, kAddTemplateEx,
};

constexpr bool InIdentifierOrder() {
    for (std::size_t i = 1; i < std::size(kMembers); ++i)
        if (kMembers[i - 1].id >= kMembers[i].id) return false;
    return true;
}
static_assert(InIdentifierOrder(), "one entry per identifier, in order");

// The member with that identifier, or null.
constexpr const Member* Find(DISPID id) noexcept {
    for (const Member& member : kMembers)
        if (member.id == id) return &member;
    return nullptr;
}

}  // namespace chart
