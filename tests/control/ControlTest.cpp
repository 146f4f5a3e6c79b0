// The control through IDispatch::Invoke: refusals, attaching, and the members
// that pass single values and commands to the chart.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "control/ChartMembers.h"
#include "links/Blob.h"
#include "standins/NoInterfaceObject.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;
using standins::ChartCall;

class ControlTest : public AdapterFixture {};
using AttachedControlTest = AttachedFixture;

TEST_F(AttachedControlTest, RefusedReadsAndWritesRunNoMemberCode) {
    for (const char* member : {"Perspectives", "Strategies", "MeasureData", "UIStrings", "StrategyMap", "MouseOver",
                               "LinksFromBlobTemplate", "AdditionalMeasureFields"}) {
        Outcome out = Get(member);
        EXPECT_EQ(out.hr, DISP_E_EXCEPTION) << member;
        EXPECT_EQ(out.scode, CTL_E_GETNOTSUPPORTED) << member;
    }
    for (const char* member : {"ObjectiveSelectionObj", "ObjectiveSelectionPers", "MatrixSelectionRow", "SelectedStrategy"}) {
        // The value is not even looked at: a table would not convert to text.
        Outcome out = PutRecords(member, {});
        EXPECT_EQ(out.scode, CTL_E_SETNOTSUPPORTED) << member;
        EXPECT_FALSE(out.description.empty());
    }
    EXPECT_TRUE(chart_->Calls().empty());
}

// Conversions that succeed: ControlBoundary in the platform tests.
TEST_F(ControlTest, ArgumentsThatDoNotConvertAreRefused) {
    const std::pair<COleVariant, HRESULT> cases[] = {{COleVariant(OLESTR("abc")), DISP_E_TYPEMISMATCH},
                                                     {COleVariant(LONG{70000}), DISP_E_OVERFLOW}};
    for (const auto& [value, hr] : cases) {
        Outcome out = Call("SetVersion", {value});
        EXPECT_EQ(out.hr, hr);
        EXPECT_EQ(out.argErr, 0u) << "a refused argument is named: the only one";
    }
}

TEST_F(ControlTest, AttachingNeedsTheChartInterface) {
    auto plain = standins::NoInterfaceObject::Create();
    for (IDispatch* handle : {static_cast<IDispatch*>(nullptr), static_cast<IDispatch*>(plain.Get())}) {
        ASSERT_TRUE(Attach().Ok());
        Outcome out = Call("HandleTesselCtrl", {COleVariant(handle)});
        EXPECT_EQ(out.Code(), E_POINTER);
        EXPECT_EQ(Get("PresentationMode").Code(), E_POINTER) << "a failed attach empties the link";
    }
    auto other = standins::ChartStandIn::Create();
    ASSERT_TRUE(Attach().Ok());
    ASSERT_TRUE(Call("HandleTesselCtrl", {COleVariant(static_cast<IDispatch*>(other.Get()))}).Ok());
    EXPECT_EQ(chart_->RefCount(), 1u) << "the replaced chart is released";
    EXPECT_EQ(other->RefCount(), 2u);
}

TEST_F(ControlTest, IntegerPropertiesPassStraightToTheChart) {
    const std::pair<const char*, DISPID> cases[] = {{"PresentationMode", 1}, {"MovingRestrictions", 16},
                                                    {"StatusBitmapVersion", 15}};
    // The three share one template; a get without a chart: AttachingNeedsTheChartInterface.
    EXPECT_EQ(PutValue("MovingRestrictions", COleVariant(LONG{5})).Code(), E_POINTER) << "no chart";
    ASSERT_TRUE(Attach().Ok());
    for (const auto& [member, chartProperty] : cases) {
        SCOPED_TRACE(member);
        ASSERT_TRUE(PutValue(member, COleVariant(OLESTR("7"))).Ok());
        EXPECT_EQ(Shown(chart_->PropertyValue(chartProperty)), "I4:7");
        chart_->SetProperty(chartProperty, COleVariant(OLESTR("12")));
        EXPECT_EQ(Shown(Get(member).value), "I4:12") << "the chart's answer is converted to a long";
    }
}

TEST_F(AttachedControlTest, SelectionsAreAskedAnewOnEveryRead) {
    EXPECT_EQ(Utf8(Get("ObjectiveSelectionObj").value), "") << "nothing selected";
    EXPECT_EQ(Utf8(Get("SelectedStrategy").value), "");
    chart_->SetSelection(OLESTR("OBJ"), OLESTR("STRAT"), OLESTR("PERS"));
    chart_->SetMatrix(OLESTR("MOBJ"), OLESTR("ROW"));
    chart_->SetStrategy(OLESTR("S1"));
    chart_->ClearCalls();
    const std::pair<const char*, const char*> cases[] = {
        {"ObjectiveSelectionObj", "OBJ"}, {"ObjectiveSelectionStrat", "STRAT"}, {"ObjectiveSelectionPers", "PERS"},
        {"MatrixSelectionObj", "MOBJ"},   {"MatrixSelectionRow", "ROW"},        {"SelectedStrategy", "S1"}};
    for (const auto& [member, text] : cases) EXPECT_EQ(Utf8(Get(member).value), text) << member;
    EXPECT_EQ(ChartCalls(ChartCall::Call, chart::kObjectiveSelection).size(), 3u);
    EXPECT_EQ(ChartCalls(ChartCall::Call, chart::kMatrixSelection).size(), 2u);
    EXPECT_EQ(ChartCalls(ChartCall::Call, chart::kSelectedStrategy).size(), 1u);
}

TEST_F(ControlTest, ContextMenuItemsAreSwitchedForItemsFromZero) {
    const std::pair<const char*, const char*> cases[] = {  // the member, what item 0 sends
        {"DisableContextMenu", "call EnableContextMenuItem(I4:0, BOOL:0)"},
        {"EnableContextMenu", "call EnableContextMenuItem(I4:0, BOOL:-1)"},
        {"HideContextMenu", "call HideContextMenuItem(I4:0)"},
        {"ShowContextMenu", "call ShowContextMenuItem(I4:0)"}};
    for (const auto& [member, sent] : cases) EXPECT_EQ(Call(member, {COleVariant(LONG{0})}).Code(), E_POINTER);
    ASSERT_TRUE(Attach().Ok());
    for (const auto& [member, sent] : cases) {
        SCOPED_TRACE(member);
        chart_->ClearCalls();
        EXPECT_EQ(Call(member, {COleVariant(LONG{-1})}).value.lVal, 0);
        EXPECT_TRUE(chart_->Calls().empty());
        EXPECT_EQ(Call(member, {COleVariant(LONG{0})}).value.lVal, 1);
        EXPECT_EQ(Shown(chart_->Calls()), Row{sent});
    }
}

TEST_F(ControlTest, WebGuiSetsTheWebFontAndStopsKeepingTablesUntilItIsOff) {
    EXPECT_EQ(Call("SetUseWEBGui", {COleVariant(SHORT{-1}, VT_BOOL)}).Code(), E_POINTER);
    auto read = Lend("Strategies");
    EXPECT_EQ(read->CallCount(standins::HostOp::GetDataFlag), 0u) << "the flag was stored before the failure";

    ASSERT_TRUE(Attach().Ok());
    chart_->SetProperty(chart::kObjectives, Grid({}, 8));
    ASSERT_TRUE(Call("SetUseWEBGui", {COleVariant(SHORT{0}, VT_BOOL)}).Ok());
    auto kept = Lend("Strategies");
    chart_->ClearCalls();
    ASSERT_TRUE(Call("SetUseWEBGui", {COleVariant(SHORT{-1}, VT_BOOL)}).Ok());
    EXPECT_EQ(Shown(chart_->Calls()),
              (Row{"call Font(BSTR:Arial, I2:48, I2:48)", "put FontHeightToo(I4:10)", "put FontHeight(I4:10)"}));
    read = Lend("Strategies");
    EXPECT_EQ(read->CallCount(standins::HostOp::GetRowStore), 1u) << "with the flag on a lent table is read";
    EXPECT_EQ(Get("Objectives").value.pdispVal, static_cast<IDispatch*>(kept.Get())) << "and one kept before stays";

    chart_->ClearCalls();
    ASSERT_TRUE(Call("SetUseWEBGui", {COleVariant(SHORT{0}, VT_BOOL)}).Ok());
    EXPECT_EQ(chart_->Calls().size(), 0u) << "the chart keeps the web font";
    kept = Lend("Strategies");
    EXPECT_EQ(Get("Objectives").value.pdispVal, static_cast<IDispatch*>(kept.Get())) << "tables are kept again";
}

// Any other shape fails the getter as no array does, the kept table
// untouched. A byte array read as variants once crashed the write-back.
TEST_F(ControlTest, ChartValuesOfAnotherShapeCountAsHoldingNoArray) {
    auto kept = Lend("Strategies");  // any record property can lend the table
    EXPECT_EQ(Get("Objectives").Code(), E_INVALIDARG) << "no chart";
    EXPECT_EQ(kept->CallCount(standins::HostOp::GetRowStore), 0u);
    EXPECT_EQ(kept->RefCount(), 2u) << "still kept";
    ASSERT_TRUE(Attach().Ok());
    auto array = [](VARTYPE type, std::vector<DWORD> sizes) {
        COleSafeArray value;
        value.Create(type, static_cast<DWORD>(sizes.size()), sizes.data());
        if (type == VT_UI1) {
            void* data = nullptr;
            SafeArrayAccessData(value.parray, &data);
            std::memcpy(data, "\x08\x09", 2);  // VT_BSTR and VT_DISPATCH, if read as variants' types
            SafeArrayUnaccessData(value.parray);
        }
        return COleVariant(value);
    };
    struct Case {
        const char* getter;
        DISPID property;
        COleVariant value;
        SHORT version = 310;  // below 30 the blob comes from method 70
    } cases[] = {
        {"Objectives", chart::kObjectives, COleVariant()},
        {"Objectives", chart::kObjectives, COleVariant(OLESTR("not a grid"))},
        {"Objectives", chart::kObjectives, array(VT_UI1, {64})},
        {"Objectives", chart::kObjectives, array(VT_UI1, {8, 8})},
        {"Objectives", chart::kObjectives, array(VT_VARIANT, {8})},
        {"Objectives", chart::kObjectives, array(VT_VARIANT, {2, 8, 2})},
        {"Blob", chart::kBlob, array(VT_VARIANT, {2, 8})},
        {"Blob", chart::kBlob, array(VT_UI1, {8, 8})},
        {"Blob", chart::kBlob, array(VT_VARIANT, {64}), 20},
        {"Blob", chart::kBlob, array(VT_I4, {64})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.getter + (" VT " + std::to_string(c.value.vt)) + " version " + std::to_string(c.version));
        ASSERT_TRUE(SetVersion(c.version).Ok());
        auto table = Lend("Strategies");
        chart_->SetProperty(c.property, c.value);
        EXPECT_EQ(Get(c.getter).Code(), E_INVALIDARG);
        EXPECT_EQ(table->CallCount(standins::HostOp::GetRowStore), 0u);
        EXPECT_EQ(table->Row(1), "stale row");
        EXPECT_EQ(table->RefCount(), 2u) << "still kept";
    }
}

// Refused before anything is allocated; the control goes on working.
TEST_F(AttachedControlTest, TablesTooLargeForAGridFailOutOfMemoryWithTheirSize) {
    ASSERT_TRUE(SetVersion(310).Ok());
    // One variant per row is beyond 4 GiB at 2^28 rows; a blob of 2^22 chunks
    // is beyond a byte array's index, however short its last chunk.
    constexpr ULONG kChunks = ULONG{1} << 22;
    const struct {
        const char* member;  // every record table, a member's or a template's, is filled by one reader
        ULONG rows;
        std::string says;
    } cases[] = {
        {"Perspectives", ULONG{1} << 28, "no room for a grid of 268435456 x "},
        {"ObjectiveMap", ULONG{0xFFFFFFFF}, "no room for a grid of 4294967295 x "},
        {"Blob", kChunks,  // as BlobTemplate, which fills with the same converter
         "no room for a blob of " + std::to_string(std::uint64_t{kChunks - 1} * blob_chunk::kDataWidth) + " bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.member) + " claiming " + std::to_string(c.rows) + " rows");
        auto table = standins::HostRecordTable::Create({"row"});
        table->ClaimRowCount(c.rows);
        const Outcome out = Put(c.member, table.Get());
        EXPECT_EQ(out.Code(), E_OUTOFMEMORY);
        EXPECT_NE(out.description.find(c.says), std::string::npos) << out.description;
        EXPECT_EQ(table->CallCount(standins::HostOp::ReadRow), 0u);
    }
    EXPECT_EQ(chart_->Calls().size(), 0u) << "nothing reaches the chart";
    EXPECT_TRUE(PutRecords("Objectives", {Record({{10, "K1"}})}).Ok());
    EXPECT_EQ(ChartCalls(ChartCall::Put, chart::kObjectives).size(), 1u);
}

}  // namespace
