#include "StandInTest.h"
#include "platform/OleSafeArray.h"
#include "standins/ChartStandIn.h"
#include "standins/Utf8.h"
#include "control/ChartMembers.h"

using namespace standins;
using testing_support::Shown;

namespace {

using ChartStandInTest = StandInTest;

constexpr WORD kPut = DISPATCH_PROPERTYPUT, kGet = DISPATCH_PROPERTYGET, kCall = DISPATCH_METHOD;

// Puts keep deep copies that gets return; FailNext raises once through
// EXCEPINFO and a failed put stores nothing; every call is recorded.
TEST_F(ChartStandInTest, KeepsWhatIsPutFailsAsToldAndRecordsEveryCall) {
    auto chart = ChartStandIn::Create();
    LONG five = 5;
    chart->FailNext(3, E_FAIL, OLESTR("replaced"));
    chart->FailNext(3, E_ACCESSDENIED, OLESTR("no room"));
    const DispatchResult failed = CallRaw(chart.Get(), 3, kPut, {COleVariant(LONG{1})});
    EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(std::pair(failed.code, standins::ToUtf8(failed.description)), std::pair(E_ACCESSDENIED, std::string("no room")));
    EXPECT_EQ(Shown(chart->PropertyValue(3)), "EMPTY");
    EXPECT_EQ(CallRaw(chart.Get(), 3, kPut, {ByRef(VT_I4, &five)}).hr, S_OK);
    five = 6;  // the chart kept the value, not the reference
    EXPECT_EQ(CallRaw(chart.Get(), chart::kMeasureData, kPut, {COleVariant(OLESTR("key")), COleVariant(LONG{2})}).hr,
              S_OK);  // indexed: not kept
    EXPECT_EQ(Shown(CallRaw(chart.Get(), 3, kGet | kCall, {}).value), "I4:5");
    EXPECT_EQ(Shown(CallRaw(chart.Get(), 31, kCall, {COleVariant(OLESTR("x"))}).value), "BOOL:-1");
    EXPECT_EQ(Shown(chart->Calls()), (testing_support::Row{"put Perspectives(I4:1)", "put Perspectives(&I4:5)",
                                                           "put MeasureData(BSTR:key, I4:2)", "get Perspectives()",
                                                           "call UIStrings(BSTR:x)"}));
}

// Forwarded calls reach the listener with the caller's own values (the same
// array), references followed, unrecorded; puts are kept until told otherwise.
TEST_F(ChartStandInTest, ForwardedCallsShowTheCallersValues) {
    auto chart = ChartStandIn::Create();
    COleSafeArray made;
    made.CreateOneDim(VT_VARIANT, 3);
    const std::vector<COleVariant> putGrid{COleVariant(made)};
    const SAFEARRAY* grid = putGrid[0].parray;
    COleVariant text(OLESTR("row"));
    testing_support::Row seen;
    std::vector<const SAFEARRAY*> arrays;  // of every argument the listener saw
    const auto show = [&](const VARIANT& v) {
        return v.vt != (VT_ARRAY | VT_VARIANT) ? Shown(v) : v.parray == grid ? "the grid" : "a copy";
    };
    chart->ForwardCalls([&](const ChartCall& call) {
        seen.push_back(Shown(call));
        for (const COleVariant& arg : call.args)
            if (arg.vt & VT_ARRAY) arrays.push_back(arg.parray);
    });
    const auto get = [&](DISPID member) { return show(CallRaw(chart.Get(), member, kGet, {}).value); };
    EXPECT_EQ(CallRaw(chart.Get(), 4, kPut, putGrid).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), 31, kCall, {ByRef(VT_BSTR, &text.bstrVal)}).hr, S_OK);
    EXPECT_EQ(get(4), "a copy");
    chart->SetKeepsPuts(false);
    EXPECT_EQ(CallRaw(chart.Get(), 4, kPut, {COleVariant(LONG{8})}).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), 10, kPut, {COleVariant(LONG{9})}).hr, S_OK);
    EXPECT_EQ(get(4), "a copy");
    EXPECT_EQ(get(10), "EMPTY");
    EXPECT_EQ(seen, (testing_support::Row{"put Objectives(VT8204)", "call UIStrings(&BSTR:row)", "get Objectives()",
                                          "put Objectives(I4:8)", "put Links(I4:9)", "get Objectives()", "get Links()"}));
    EXPECT_EQ(arrays, std::vector<const SAFEARRAY*>{grid}) << "the caller's own grid";
    EXPECT_EQ(chart->Calls().size(), 0u);
}

// The drawing reads the indexed puts and calls it needs and the selection, also
// when the chart forwards its calls and keeps no puts; failed calls are not read.
TEST_F(ChartStandInTest, KeepsWhatTheDrawingReadsWhateverItForwardsOrKeeps) {
    auto chart = ChartStandIn::Create();
    chart->ForwardCalls([](const ChartCall&) {});
    chart->SetKeepsPuts(false);
    const auto text = [](const OLECHAR* t) { return COleVariant(t); };
    EXPECT_EQ(CallRaw(chart.Get(), chart::kMeasureData, kPut, {text(OLESTR("A")), COleVariant(LONG{2})}).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), chart::kObjectives, kPut, {COleVariant(LONG{1})}).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), chart::kFont, kCall, {text(OLESTR("Arial")), COleVariant(SHORT{0}, VT_I2),
                                                         COleVariant(SHORT{34}, VT_I2)}).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), chart::kShowContextMenuItem, kCall, {COleVariant(LONG{3})}).hr, S_OK);
    chart->FailNext(chart::kAdditionalMeasureItem, E_FAIL);
    EXPECT_EQ(CallRaw(chart.Get(), chart::kAdditionalMeasureItem, kPut, {text(OLESTR("A")), COleVariant(LONG{5})}).hr,
              DISP_E_EXCEPTION);
    EXPECT_EQ(CallRaw(chart.Get(), chart::kInitiativeData, kPut, {text(OLESTR("B")), COleVariant(LONG{7})}).hr, S_OK);
    testing_support::Row drawn;
    chart->ForEachCall([&](DISPID member, std::span<const COleVariant> args) { drawn.push_back(Shown(member, args)); });
    EXPECT_EQ(drawn, (testing_support::Row{"MeasureData(BSTR:A, I4:2)", "Font(BSTR:Arial, I2:0, I2:34)",
                                           "InitiativeData(BSTR:B, I4:7)"}));

    chart->SetSelection(OLESTR("OBJ"), OLESTR("ignored"), OLESTR("PER"));
    chart->SetStrategy(OLESTR("GROWTH"));
    chart->SetAnswer(chart::kSelectedStrategy, text(OLESTR("GIVEN")));
    EXPECT_EQ(chart->SelectedObjective(), OLESTR("OBJ"));
    EXPECT_EQ(chart->SelectedStrategy(), OLESTR("GIVEN")) << "what method 73 answers, not the strategy set";
}

}  // namespace
