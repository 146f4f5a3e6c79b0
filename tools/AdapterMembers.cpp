#include "tools/AdapterMembers.h"

#include <algorithm>
#include <cctype>

namespace tessel {

namespace {

using enum MemberKind;

constexpr AdapterMember Table(std::string_view name) { return {name, TableProperty, false, true}; }
constexpr AdapterMember TableBothWays(std::string_view name) { return {name, TableProperty, true, true}; }
constexpr AdapterMember Long(std::string_view name) { return {name, LongProperty, true, true}; }
constexpr AdapterMember Text(std::string_view name) { return {name, TextProperty, true, false}; }
constexpr AdapterMember Call(std::string_view name, VARTYPE parameter, VARTYPE result) {
    return {name, Method, false, false, parameter, result};
}

// In dispatch identifier order, 1 to 53.
constexpr AdapterMember kMembers[] = {
    Table("Perspectives"),
    Table("Strategies"),
    TableBothWays("Objectives"),
    TableBothWays("Blob"),
    Table("MeasureFields"),
    Table("InitiativeFields"),
    Table("InitiativeData"),
    Table("MeasureData"),
    TableBothWays("Links"),
    Long("PresentationMode"),
    Long("MovingRestrictions"),
    Long("StatusBitmapVersion"),
    Table("UIStrings"),
    Table("ContextMenu"),
    Table("InitiativeDataRow"),
    Table("MeasureDataRow"),
    Table("StrategyMap"),
    Table("PerspectiveMap"),
    Table("ObjectiveMap"),
    Table("LinkMap"),
    Table("BlobTemplate"),
    Table("StrategyTemplate"),
    Table("ObjectiveTemplate"),
    Table("ObjectiveLinkTemplate"),
    Text("ObjectiveSelectionObj"),
    Text("ObjectiveSelectionPers"),
    Text("ObjectiveSelectionStrat"),
    Text("MatrixSelectionObj"),
    Text("MatrixSelectionRow"),
    Table("MouseOver"),
    Text("SelectedStrategy"),
    Table("AdditionalInitiativeItem"),
    Table("AdditionalMeasureItem"),
    Table("AdditionalInitiativesFields"),
    Table("AdditionalMeasureFields"),
    TableBothWays("ObjectivesFromBlob"),
    TableBothWays("StrategiesFromBlob"),
    TableBothWays("PerspectivesFromBlob"),
    TableBothWays("LinksFromBlob"),
    Table("StrategiesFromBlobTemplate"),
    Table("PerspectivesFromBlobTemplate"),
    Table("ObjectivesFromBlobTemplate"),
    Table("LinksFromBlobTemplate"),
    Call("HandleTesselCtrl", VT_DISPATCH, VT_EMPTY),
    Call("DisableContextMenu", VT_I4, VT_I4),
    Call("EnableContextMenu", VT_I4, VT_I4),
    Call("HideContextMenu", VT_I4, VT_I4),
    Call("ShowContextMenu", VT_I4, VT_I4),
    Call("SetUseWEBGui", VT_BOOL, VT_EMPTY),
    Call("SaveAsJPeg", VT_BSTR, VT_EMPTY),
    Call("AddTemplate", VT_EMPTY, VT_EMPTY),
    Call("SetVersion", VT_I2, VT_EMPTY),
    Call("AddTemplateEx", VT_EMPTY, VT_EMPTY),
};
static_assert(std::size(kMembers) == 53);

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

std::span<const AdapterMember> AdapterMembers() { return kMembers; }

const AdapterMember* FindAdapterMember(std::string_view name) {
    const auto found = std::ranges::find(kMembers, name, &AdapterMember::name);
    return found == std::end(kMembers) ? nullptr : &*found;
}

const AdapterMember* FindAdapterMemberIgnoringCase(std::string_view name) {
    const auto found = std::ranges::find_if(kMembers, [&](const AdapterMember& m) { return SameIgnoringCase(m.name, name); });
    return found == std::end(kMembers) ? nullptr : &*found;
}

}  // namespace tessel
