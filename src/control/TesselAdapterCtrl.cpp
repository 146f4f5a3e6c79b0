#include "control/TesselAdapterCtrl.h"

#include <array>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

#include "control/ChartMembers.h"
#include "control/MemberDetail.h"
#include "control/TesselAdapterApp.h"
#include "control/TesselAdapterPropPage.h"
#include "links/Blob.h"
#include "links/Links.h"
#include "links/LinksFromBlob.h"
#include "links/ObjectivesFromBlob.h"
#include "links/PerspectivesFromBlob.h"
#include "links/StrategiesFromBlob.h"
#include "links/TemplateStore.h"
#include "platform/SaveFileDialog.h"
#include "platform/VariantGrid.h"
#include "scorecard/Objectives.h"
#include "scorecard/Perspectives.h"
#include "scorecard/Strategies.h"
#include "scorecard/TreeFields.h"
#include "scorecard/TreeItems.h"
#include "tables/ContextMenu.h"
#include "tables/MouseOver.h"
#include "tables/VantorStrings.h"

const IID IID_DTesselAdapter = {0x04A4CC28, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}};
const IID IID_DTesselAdapterEvents = {0x04A4CC29, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}};
const CLSID CLSID_TesselAdapter = {0x04A4CC2A, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}};

namespace {


// A text out-argument of a chart method: starts empty, freed on every path.
struct OutText {
    COleVariant text{OLESTR("")};
    VARIANT Ref() {
        VARIANT ref;
        VariantInit(&ref);
        ref.vt = VT_BYREF | VT_BSTR;
        ref.pbstrVal = &text.bstrVal;
        return ref;
    }
    BSTR Take() { return text.Detach().bstrVal; }
};

// The logical font of the host's "PropFont" property.
LOGFONTA HostFont(IHostEnvironment& environment) {
    const ComPtr<IHostPropertyCollection> properties = ReceiveFrom<IHostEnvironment, IHostPropertyCollection>(
        [&](IHostPropertyCollection** out) { return environment.GetPropertyCollection(out); });
    ComPtr<IUnknown> property;
    {
        const COleVariant name(OLESTR("PropFont"));
        CheckResult(properties->GetProperty(name.bstrVal, property.Receive()),
                    InterfaceTraits<IHostPropertyCollection>::Id());
    }
    ComPtr<IFont> font;
    const HRESULT hr = property.As(font);
    if (hr == E_NOINTERFACE || !font) RaiseError(E_POINTER, InterfaceTraits<IFont>::Id());
    CheckResult(hr, InterfaceTraits<IFont>::Id());
    HFONT handle = nullptr;
    CheckResult(font->get_hFont(&handle), InterfaceTraits<IFont>::Id());
    LOGFONTA logfont{};
    // A handle that is no font leaves nothing to send.
    if (GetObjectA(handle, sizeof logfont, &logfont) != sizeof logfont) RaiseError(E_INVALIDARG, InterfaceTraits<IFont>::Id());
    return logfont;
}

LOGFONTA SystemFont() {
    LOGFONTA logfont{};
    GetObjectA(GetStockObject(SYSTEM_FONT), sizeof logfont, &logfont);
    return logfont;
}

}  // namespace

CTesselAdapterCtrl::CTesselAdapterCtrl() {
    SetInitialDispIID(IID_DTesselAdapter);
    SetInitialEventIID(IID_DTesselAdapterEvents);
}

// The chart goes first, then the kept table; the colour scheme and the
// host environment follow as members.
CTesselAdapterCtrl::~CTesselAdapterCtrl() {
    chart_.Reset();
    reader_.ReleaseKeptTable();
}

LONG CTesselAdapterCtrl::Read(LayoutPaths paths, IDispatch* table, COrlinTableData& converter) {
    return reader_.Read(paths.For(version_), table, &converter);
}

// ---- Table properties -------------------------------------------------------

// A table the setter reads and, filled, sends on; ChartProperty kNoMember:
// converted, sent nowhere.
template <class Converter, LayoutPaths Paths, DISPID ChartProperty>
void CTesselAdapterCtrl::SetTablePut(LPDISPATCH table) {
    if (!table) return;
    Converter grid;
    const bool filled = Read(Paths, table, grid) == CTableReader::kFilled;
    if constexpr (ChartProperty != chart::kNoMember)
        if (filled && chart_.IsAttached()) Send(ChartProperty, std::move(grid));
}

template <class Converter, DISPID ChartProperty, LayoutPaths WriteBack>
LPDISPATCH CTesselAdapterCtrl::GetWrittenBack() {
    Converter grid;
    if (chart_.IsAttached()) Fetch(ChartProperty, grid);
    return reader_.WriteBack(WriteBack.For(version_), &grid);
}

// Map and template tables fill their instance in the template store, which
// waits there for AddTemplate or AddTemplateEx.
template <CTemplateStore::Entry Entry, LayoutPaths Paths>
void CTesselAdapterCtrl::SetTemplateTable(LPDISPATCH table) {
    if (!table) return;
    Read(Paths, table, CTemplateStore::Instance<Entry>());
}

// Measure and initiative data go to the chart group by group, in table
// order; a failing call leaves the groups sent before it.
template <LayoutPaths Paths, DISPID ChartMember>
void CTesselAdapterCtrl::SetCellTable(LPDISPATCH table) {
    if (!table) return;
    CTreeItems items;
    if (reader_.ReadCells(Paths.For(version_), table, &items) != CTableReader::kFilled || !chart_.IsAttached()) return;
    if constexpr (ChartMember != chart::kNoMember)
        for (const CTreeItems::tagObjectiveData& group : items.Groups()) SendGroup(ChartMember, group);
}

// Method 42 takes a group with its row key; the other members are
// properties indexed by the objective's key.
void CTesselAdapterCtrl::SendGroup(DISPID member, const CTreeItems::tagObjectiveData& group) {
    const COleVariant key = COleVariant::FromAnsi(group.objectiveKey.data(), group.objectiveKey.size());
    const COleVariant rows(static_cast<const VARIANT&>(group.rows));
    if (member == chart::kTreeRows) {
        const COleVariant rowKey = COleVariant::FromAnsi(group.rowKey.data(), group.rowKey.size());
        chart_.Call(member, {key, rowKey, COleVariant(SHORT{VARIANT_TRUE}, VT_BOOL), rows});
    } else {
        chart_.PutIndexed(member, key, rows);
    }
}

void CTesselAdapterCtrl::Send(DISPID property, COleSafeArray&& grid) { chart_.PutGrid(property, std::move(grid)); }

// An argument is the caller's for the length of the call: the grid goes as
// it is, not as a copy of every string.
void CTesselAdapterCtrl::Send(DISPID method, CVantorStrings&& grid) {
    chart_.Call(method, {static_cast<const VARIANT&>(grid)}, VT_BOOL);
}

// The context menu goes to the chart row by row: both texts, then the
// second and the first number. A cell that is text is sent as it stands in
// the grid; only another value is changed to text first.
void CTesselAdapterCtrl::Send(DISPID method, CContextMenu&& grid) {
    const CVariantGrid cells(grid);
    for (LONG r = 0; r < cells.Rows(); ++r) {
        std::array<COleVariant, 4> changed;
        std::array<VARIANT, 4> text;
        for (LONG c = 0; c < 4; ++c) {
            const VARIANT& cell = cells.At(r, c);
            if (cell.vt != VT_BSTR) changed[c].ChangeType(VT_BSTR, &cell);
            text[c] = cell.vt == VT_BSTR ? cell : changed[c];
        }
        chart_.Call(method, {text[1], text[3], CContextMenu::Number(text[2]), CContextMenu::Number(text[0])}, VT_I4);
    }
}

void CTesselAdapterCtrl::Fetch(DISPID property, COleSafeArray& grid) { chart_.GetGrid(property, grid); }

// Below layout 30 the chart hands its blob out through a method.
void CTesselAdapterCtrl::Fetch(DISPID property, CBlob& blob) {
    if (version_ >= 30) {
        chart_.GetGrid(property, blob, CChartLink::GridShape::Bytes);
    } else {
        COleVariant value = chart_.Call(chart::kBlobOfVersion, {COleVariant(LONG{2}, VT_I4)}, VT_VARIANT);
        CChartLink::AdoptGrid(value, blob, CChartLink::GridShape::Bytes);
    }
}

// ---- Single values -----------------------------------------------------------

template <DISPID ChartProperty>
LONG CTesselAdapterCtrl::GetChartLong() {
    return chart_.GetLong(ChartProperty);
}

template <DISPID ChartProperty>
void CTesselAdapterCtrl::SetChartLong(LONG value) {
    chart_.PutLong(ChartProperty, value);
}

template <int Which>
BSTR CTesselAdapterCtrl::GetObjectiveSelection() {
    std::array<OutText, 3> text;  // objective, strategy, perspective
    chart_.Call(chart::kObjectiveSelection, {text[0].Ref(), text[1].Ref(), text[2].Ref()}, VT_BOOL);
    return text[Which].Take();
}

template <int Which>
BSTR CTesselAdapterCtrl::GetMatrixSelection() {
    std::array<OutText, 2> text;  // objective, row
    chart_.Call(chart::kMatrixSelection, {text[0].Ref(), text[1].Ref()}, VT_BOOL);
    return text[Which].Take();
}

BSTR CTesselAdapterCtrl::GetSelectedStrategy() {
    return chart_.Call(chart::kSelectedStrategy, {}, VT_BSTR).Detach().bstrVal;
}

template <DISPID ChartMethod, CTesselAdapterCtrl::ItemSwitch Switch>
LONG CTesselAdapterCtrl::SwitchContextMenuItem(LONG itemNb) {
    if (itemNb < 0) return 0;
    if constexpr (Switch == ItemSwitch::None)
        chart_.Call(ChartMethod, {COleVariant(itemNb, VT_I4)});
    else
        chart_.Call(ChartMethod, {COleVariant(itemNb, VT_I4),
                                  COleVariant(Switch == ItemSwitch::Enable ? VARIANT_TRUE : VARIANT_FALSE, VT_BOOL)});
    return 1;
}

// The web front end draws with its own font; the flag also stops the reader
// from keeping tables.
void CTesselAdapterCtrl::SetUseWEBGui(SHORT useWebGui) {
    reader_.SetUseWebGui(useWebGui);
    if (!useWebGui) return;
    chart_.Call(chart::kFont, {COleVariant(OLESTR("Arial")), COleVariant(SHORT{48}, VT_I2), COleVariant(SHORT{48}, VT_I2)});
    chart_.PutLong(chart::kFontHeightToo, 10);
    chart_.PutLong(chart::kFontHeight, 10);
}

// The chart writes the image itself, to the file the user chose.
void CTesselAdapterCtrl::SaveAsJPeg(BSTR dialogTitle) {
    platform::SaveDialogOptions options{OleString(dialogTitle ? dialogTitle : OLESTR(""), SysStringLen(dialogTitle)),
                                        OLESTR("Tessel.jpg"), OLESTR("JPeg Files (*.jpg)|*.jpg|"), OLESTR("*.jpg"),
                                        platform::kOverwritePrompt | platform::kHideReadOnly |
                                            platform::kFrameworkDialogFlags,
                                        ContainerWindow()};
    const std::optional<OleString> path = platform::RunSaveFileDialog(options);
    if (!path) return;
    chart_.Call(chart::kSaveImage, {COleVariant(path->c_str(), static_cast<UINT>(path->size())), COleVariant(LONG{2}, VT_I4)},
                VT_BOOL);
}

// ---- Methods -------------------------------------------------------------------

void CTesselAdapterCtrl::HandleTesselCtrl(LPDISPATCH tesselHandle) {
    chart_.Attach(tesselHandle);
    SendColours();
    SendFont();
}

void CTesselAdapterCtrl::OnAmbientPropertyChange(DISPID) { SendColours(); }

// Without a scheme the chart keeps its own colours.
void CTesselAdapterCtrl::SendColours() {
    if (colours_.Refresh() && chart_.IsAttached()) chart_.PutGrid(chart::kColours, colours_.Grid());
}

// The host's font is asked for once the environment exists; until then
// every call sends the system font and tries the environment again.
void CTesselAdapterCtrl::SendFont() {
    if (hostEnvironment_) return;
    hostEnvironment_ = CreateHostEnvironment();
    const LOGFONTA font = hostEnvironment_ ? HostFont(*hostEnvironment_) : SystemFont();
    const std::size_t faceLength = strnlen(font.lfFaceName, LF_FACESIZE);
    chart_.Call(chart::kFont, {COleVariant::FromAnsi(font.lfFaceName, faceLength),
                               COleVariant(static_cast<SHORT>(font.lfCharSet), VT_I2),
                               COleVariant(static_cast<SHORT>(font.lfPitchAndFamily), VT_I2)});
    chart_.PutLong(chart::kFontHeightToo, font.lfHeight);
    chart_.PutLong(chart::kFontHeight, font.lfHeight);
}

void CTesselAdapterCtrl::SetVersion(SHORT version) { version_ = version; }

// The arguments of the two template methods, in order. AddTemplate sends
// the blob template; AddTemplateEx the blob-sourced ones instead.
namespace {
using enum CTemplateStore::Entry;
constexpr CTemplateStore::Entry kAddTemplateArgs[] = {
    kStrategyTemplate, kObjectiveTemplate, kObjectiveLinkTemplate, kBlobTemplate,
    kStrategyMap, kPerspectiveMap, kObjectiveMap, kLinkMap,
};
constexpr CTemplateStore::Entry kAddTemplateExArgs[] = {
    kStrategyTemplate, kObjectiveTemplate, kObjectiveLinkTemplate,
    kStrategiesFromBlobTemplate, kPerspectivesFromBlobTemplate, kObjectivesFromBlobTemplate, kLinksFromBlobTemplate,
    kStrategyMap, kPerspectiveMap, kObjectiveMap, kLinkMap,
};
}  // namespace

void CTesselAdapterCtrl::AddTemplate() { SendTemplate(chart::kAddTemplate, kAddTemplateArgs); }
void CTesselAdapterCtrl::AddTemplateEx() { SendTemplate(chart::kAddTemplateEx, kAddTemplateExArgs); }

// One chart call with a copy of each entry's grid (an absent entry goes as
// an empty variant); only once the chart has taken them are the entries
// destroyed, so a call that fails, or finds no chart, can be made again.
void CTesselAdapterCtrl::SendTemplate(DISPID method, std::span<const CTemplateStore::Entry> entries) {
    std::array<COleVariant, CTemplateStore::kEntryCount> grids;
    std::array<VARIANT, CTemplateStore::kEntryCount> args;  // shallow views; grids owns the values
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (const COleSafeArray* grid = CTemplateStore::Grid(entries[i])) grids[i] = static_cast<const VARIANT&>(*grid);
        args[i] = grids[i];
    }
    chart_.Call(method, std::span<const VARIANT>(args.data(), entries.size()), VT_I4);
    for (CTemplateStore::Entry entry : entries) CTemplateStore::Discard(entry);
}

// ---- The dispatch map -----------------------------------------------------------

const TypeLibraryId* CTesselAdapterCtrl::TypeLibrary() const { return &kTesselAdapterLib; }

std::span<const CLSID* const> CTesselAdapterCtrl::PropertyPages() const {
    static const CLSID* const pages[] = {&CLSID_TesselAdapterPropPage};
    return pages;
}

namespace {

template <class Converter>
constexpr MemberDetail TableDetail(LayoutPaths fill, bool collected, bool writesBack, LayoutPaths writeBack) {
    if constexpr (std::is_base_of_v<CBlob, Converter>)
        return {TableForm::Chunks, nullptr, fill, collected, writesBack, writeBack};
    else
        return {TableForm::Records, &Converter::kLayouts, fill, collected, writesBack, writeBack};
}
template <class Converter, LayoutPaths Fill, bool WritesBack = false, LayoutPaths WriteBack = Fill>
constexpr MemberDetail kTableDetail = TableDetail<Converter>(Fill, false, WritesBack, WriteBack);
template <class Converter, LayoutPaths Fill>
constexpr MemberDetail kCollectedDetail = TableDetail<Converter>(Fill, true, false, Fill);
template <LayoutPaths Fill>
constexpr MemberDetail kCellDetail{TableForm::Cells, nullptr, Fill, false, false, Fill};

COleControl::DispEntry WithDetail(COleControl::DispEntry entry, const MemberDetail& detail) {
    entry.detail = &detail;
    return entry;
}

}  // namespace

template <class Converter, LayoutPaths Paths, DISPID ChartProperty>
COleControl::DispEntry CTesselAdapterCtrl::TablePut(const char* name, DISPID id) {
    using C = CTesselAdapterCtrl;
    return WithDetail(DispPropertyPutOnly<&C::SetTablePut<Converter, Paths, ChartProperty>>(name, id, VT_DISPATCH),
                      kTableDetail<Converter, Paths>);
}

template <class Converter, LayoutPaths Paths, DISPID PutProperty, DISPID GetProperty, LayoutPaths WriteBack>
COleControl::DispEntry CTesselAdapterCtrl::TableBothWays(const char* name, DISPID id) {
    using C = CTesselAdapterCtrl;
    return WithDetail(DispProperty<&C::GetWrittenBack<Converter, GetProperty, WriteBack>,
                                   &C::SetTablePut<Converter, Paths, PutProperty>>(name, id, VT_DISPATCH),
                      kTableDetail<Converter, Paths, true, WriteBack>);
}

template <LayoutPaths Paths, DISPID ChartMember>
COleControl::DispEntry CTesselAdapterCtrl::CellTable(const char* name, DISPID id) {
    using C = CTesselAdapterCtrl;
    return WithDetail(DispPropertyPutOnly<&C::SetCellTable<Paths, ChartMember>>(name, id, VT_DISPATCH),
                      kCellDetail<Paths>);
}

// The 310 fill at every version.
template <CTemplateStore::Entry Entry>
COleControl::DispEntry CTesselAdapterCtrl::TemplateTable(const char* name, DISPID id) {
    using C = CTesselAdapterCtrl;
    return WithDetail(DispPropertyPutOnly<&C::SetTemplateTable<Entry, kLayout310Only>>(name, id, VT_DISPATCH),
                      kCollectedDetail<CTemplateStore::Converter<Entry>, kLayout310Only>);
}

std::span<const COleControl::DispEntry> CTesselAdapterCtrl::DispatchMap() {
    using C = CTesselAdapterCtrl;
    static const DispEntry map[] = {
        TablePut<CPerspectives, kEveryLayout, chart::kPerspectives>("Perspectives", 1),
        TablePut<CStrategies, kEveryLayout, chart::kStrategies>("Strategies", 2),
        TableBothWays<CObjectives, kNoLayout20, chart::kObjectives, chart::kObjectives, kNoLayout20>("Objectives", 3),
        TableBothWays<CBlob, kLayout310Only, chart::kBlob, chart::kBlob, kLayout310Only>("Blob", 4),
        TablePut<CTreeFields, kNoLayout20, chart::kMeasureFields>("MeasureFields", 5),
        TablePut<CTreeFields, kNoLayout20, chart::kInitiativeFields>("InitiativeFields", 6),
        CellTable<kEveryLayout, chart::kInitiativeData>("InitiativeData", 7),
        CellTable<kEveryLayout, chart::kMeasureData>("MeasureData", 8),
        TableBothWays<CLinks, kLinksLayouts, chart::kNoMember, chart::kLinks, kLayout310Only>("Links", 9),
        DispProperty<&C::GetChartLong<chart::kPresentationMode>, &C::SetChartLong<chart::kPresentationMode>>("PresentationMode", 10, VT_I4),
        DispProperty<&C::GetChartLong<chart::kMovingRestrictions>, &C::SetChartLong<chart::kMovingRestrictions>>("MovingRestrictions", 11, VT_I4),
        DispProperty<&C::GetChartLong<chart::kStatusBitmapVersion>, &C::SetChartLong<chart::kStatusBitmapVersion>>("StatusBitmapVersion", 12, VT_I4),
        TablePut<CVantorStrings, kLayout310Only, chart::kUIStrings>("UIStrings", 13),
        TablePut<CContextMenu, kLayout310Only, chart::kContextMenuEntry>("ContextMenu", 14),
        CellTable<kNoLayout20, chart::kTreeRows>("InitiativeDataRow", 15),
        CellTable<kNoLayout20, chart::kTreeRows>("MeasureDataRow", 16),
        TemplateTable<CTemplateStore::kStrategyMap>("StrategyMap", 17),
        TemplateTable<CTemplateStore::kPerspectiveMap>("PerspectiveMap", 18),
        TemplateTable<CTemplateStore::kObjectiveMap>("ObjectiveMap", 19),
        TemplateTable<CTemplateStore::kLinkMap>("LinkMap", 20),
        TemplateTable<CTemplateStore::kBlobTemplate>("BlobTemplate", 21),
        TemplateTable<CTemplateStore::kStrategyTemplate>("StrategyTemplate", 22),
        TemplateTable<CTemplateStore::kObjectiveTemplate>("ObjectiveTemplate", 23),
        TemplateTable<CTemplateStore::kObjectiveLinkTemplate>("ObjectiveLinkTemplate", 24),
        DispPropertyGetOnly<&C::GetObjectiveSelection<0>>("ObjectiveSelectionObj", 25, VT_BSTR),
        DispPropertyGetOnly<&C::GetObjectiveSelection<2>>("ObjectiveSelectionPers", 26, VT_BSTR),
        DispPropertyGetOnly<&C::GetObjectiveSelection<1>>("ObjectiveSelectionStrat", 27, VT_BSTR),
        DispPropertyGetOnly<&C::GetMatrixSelection<0>>("MatrixSelectionObj", 28, VT_BSTR),
        DispPropertyGetOnly<&C::GetMatrixSelection<1>>("MatrixSelectionRow", 29, VT_BSTR),
        TablePut<CMouseOver, kLayout310Only, chart::kMouseOver>("MouseOver", 30),
        DispPropertyGetOnly<&C::GetSelectedStrategy>("SelectedStrategy", 31, VT_BSTR),
        CellTable<kLayout310Only, chart::kNoMember>("AdditionalInitiativeItem", 32),
        CellTable<kLayout310Only, chart::kAdditionalMeasureItem>("AdditionalMeasureItem", 33),
        TablePut<CTreeFields, kLayout310Only, chart::kNoMember>("AdditionalInitiativesFields", 34),
        TablePut<CTreeFields, kLayout310Only, chart::kNoMember>("AdditionalMeasureFields", 35),
        TableBothWays<CObjectivesFromBlob, kLayout310Only, chart::kObjectivesFromBlob, chart::kObjectivesFromBlob, kLayout310Only>("ObjectivesFromBlob", 36),
        TableBothWays<CStrategiesFromBlob, kLayout310Only, chart::kStrategiesFromBlob, chart::kStrategiesFromBlob, kLayout310Only>("StrategiesFromBlob", 37),
        TableBothWays<CPerspectivesFromBlob, kLayout310Only, chart::kPerspectivesFromBlob, chart::kPerspectivesFromBlob, kLayout310Only>("PerspectivesFromBlob", 38),
        TableBothWays<CLinksFromBlob, kLayout310Only, chart::kLinksFromBlob, chart::kLinksFromBlob, kLayout310Only>("LinksFromBlob", 39),
        TemplateTable<CTemplateStore::kStrategiesFromBlobTemplate>("StrategiesFromBlobTemplate", 40),
        TemplateTable<CTemplateStore::kPerspectivesFromBlobTemplate>("PerspectivesFromBlobTemplate", 41),
        TemplateTable<CTemplateStore::kObjectivesFromBlobTemplate>("ObjectivesFromBlobTemplate", 42),
        TemplateTable<CTemplateStore::kLinksFromBlobTemplate>("LinksFromBlobTemplate", 43),
        DispMethod<&C::HandleTesselCtrl>("HandleTesselCtrl", 44, VT_EMPTY, {{VT_DISPATCH, "tesselHandle"}}),
        DispMethod<&C::SwitchContextMenuItem<chart::kEnableContextMenuItem, ItemSwitch::Disable>>("DisableContextMenu", 45, VT_I4, {{VT_I4, "itemNb"}}),
        DispMethod<&C::SwitchContextMenuItem<chart::kEnableContextMenuItem, ItemSwitch::Enable>>("EnableContextMenu", 46, VT_I4, {{VT_I4, "itemNb"}}),
        DispMethod<&C::SwitchContextMenuItem<chart::kHideContextMenuItem, ItemSwitch::None>>("HideContextMenu", 47, VT_I4, {{VT_I4, "itemNb"}}),
        DispMethod<&C::SwitchContextMenuItem<chart::kShowContextMenuItem, ItemSwitch::None>>("ShowContextMenu", 48, VT_I4, {{VT_I4, "itemNb"}}),
        DispMethod<&C::SetUseWEBGui>("SetUseWEBGui", 49, VT_EMPTY, {{VT_BOOL, "bUseWEBGui"}}),
        DispMethod<&C::SaveAsJPeg>("SaveAsJPeg", 50, VT_EMPTY, {{VT_BSTR, "strDialogTitle"}}),
        DispMethod<&C::AddTemplate>("AddTemplate", 51, VT_EMPTY, {}),
        DispMethod<&C::SetVersion>("SetVersion", 52, VT_EMPTY, {{VT_I2, "version"}}),
        DispMethod<&C::AddTemplateEx>("AddTemplateEx", 53, VT_EMPTY, {}),
    };
    return map;
}
