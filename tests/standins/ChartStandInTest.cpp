#include "StandInTest.h"
#include "standins/ChartStandIn.h"

using namespace standins;

namespace {

using ChartStandInTest = StandInTest;
using Texts = std::vector<std::string>;

constexpr WORD kPut = DISPATCH_PROPERTYPUT;
constexpr WORD kGet = DISPATCH_PROPERTYGET;
constexpr WORD kCall = DISPATCH_METHOD;

Texts Shown(const std::vector<COleVariant>& values) {
    Texts shown;
    for (const COleVariant& value : values) shown.push_back(Show(value));
    return shown;
}

// Puts keep deep copies (references followed) that gets return; every call
// is recorded with its arguments in parameter order.
TEST_F(ChartStandInTest, KeepsWhatIsPutAndRecordsEveryCall) {
    LONG five = 5;
    struct Step { WORD flags; DISPID member; std::vector<COleVariant> args; ChartCall::Kind kind; Texts recorded; std::string result; };
    const Step steps[] = {
        {kGet, 3, {}, ChartCall::Get, {}, "EMPTY"},
        {kPut, 3, {COleVariant(u"grid")}, ChartCall::Put, {"BSTR grid"}, "EMPTY"},
        {kGet, 3, {}, ChartCall::Get, {}, "BSTR grid"},
        {DISPATCH_PROPERTYPUTREF, 4, {ByRef(VT_I4, &five)}, ChartCall::Put, {"I4 5"}, "EMPTY"},
        {kPut, 3, {COleVariant(LONG{2}), COleVariant(u"row")}, ChartCall::Put, {"I4 2", "BSTR row"}, "EMPTY"},
        {kGet | kCall, 3, {}, ChartCall::Get, {}, "BSTR grid"},  // the indexed put left 3 alone
        {kGet | kCall, 31, {COleVariant(LONG{7})}, ChartCall::Call, {"I4 7"}, "BOOL -1"},
    };
    auto chart = ChartStandIn::Create();
    for (const Step& s : steps) {
        SCOPED_TRACE(chart->Calls().size());
        const Outcome got = CallRaw(chart.Get(), s.member, s.flags, s.args);
        EXPECT_EQ(got.hr, S_OK);
        EXPECT_EQ(Show(got.result), s.result);
        EXPECT_EQ(chart->Calls().back().kind, s.kind);
        EXPECT_EQ(chart->Calls().back().dispid, s.member);
        EXPECT_EQ(Shown(chart->Calls().back().args), s.recorded);
    }
    five = 6;  // the chart kept the value, not the reference
    EXPECT_EQ(Show(chart->Property(4)), "I4 5");
}

TEST_F(ChartStandInTest, RefusesPutsWithoutTheOneNamedArgument) {
    const std::vector<DISPID> cases[] = {{}, {DISPID_VALUE}, {DISPID_PROPERTYPUT, DISPID_VALUE}};
    auto chart = ChartStandIn::Create();
    for (std::vector<DISPID> named : cases) {
        VARIANT args[2] = {COleVariant(LONG{1}), COleVariant(LONG{2})};
        DISPPARAMS params{args, named.data(), 2, static_cast<UINT>(named.size())};
        EXPECT_EQ(chart->Invoke(3, IID_NULL, 0, kPut, &params, nullptr, nullptr, nullptr), DISP_E_PARAMNOTFOUND);
    }
    EXPECT_TRUE(chart->Calls().empty());
}

TEST_F(ChartStandInTest, MethodsAnswerAsTold) {
    const std::pair<DISPID, std::string> cases[] = {
        {31, "BOOL -1"}, {33, "BOOL -1"}, {42, "BOOL -1"}, {59, "I4 0"}, {65, "I4 0"}, {83, "I4 0"},
        {27, "EMPTY"},   {28, "EMPTY"},   {29, "EMPTY"},   {38, "EMPTY"}, {73, "BSTR plan"}, {70, "I4 11"},
    };
    auto chart = ChartStandIn::Create();
    EXPECT_EQ(Show(CallRaw(chart.Get(), 73, kCall, {}).result), "EMPTY");
    chart->SetStrategy(u"plan");
    chart->SetProperty(11, COleVariant(LONG{11}));
    for (const auto& [member, result] : cases) {
        SCOPED_TRACE(member);
        const Outcome got = CallRaw(chart.Get(), member, kCall, {});
        EXPECT_EQ(got.hr, S_OK);
        EXPECT_EQ(Show(got.result), result);
    }
}

TEST_F(ChartStandInTest, SelectionMethodsReplaceTheirOutTexts) {
    auto chart = ChartStandIn::Create();
    BSTR texts[3] = {SysAllocString(u"a"), SysAllocString(u"b"), SysAllocString(u"c")};
    auto call = [&](DISPID member, UINT count) {
        std::vector<COleVariant> args;
        for (UINT i = 0; i < count; ++i) args.push_back(ByRef(VT_BSTR, &texts[i]));
        EXPECT_EQ(Show(CallRaw(chart.Get(), member, kCall, args).result), "BOOL -1");
        return Show(COleVariant(texts[0])) + "," + Show(COleVariant(texts[1])) + "," + Show(COleVariant(texts[2]));
    };
    EXPECT_EQ(call(43, 3), "BSTR a,BSTR b,BSTR c");  // nothing set: left alone
    chart->SetSelection(u"obj", u"strat", u"pers");
    chart->SetMatrix(u"m-obj", u"m-row");
    EXPECT_EQ(call(43, 3), "BSTR obj,BSTR strat,BSTR pers");
    EXPECT_EQ(call(45, 2), "BSTR m-obj,BSTR m-row,BSTR pers");
    EXPECT_EQ(Shown(chart->Calls()[1].args), (Texts{"BSTR a", "BSTR b", "BSTR c"}));  // as they were

    const Outcome mistyped = CallRaw(chart.Get(), 45, kCall, {ByRef(VT_BSTR, &texts[0]), COleVariant(u"x")});
    EXPECT_EQ(mistyped.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mistyped.argErr, 0u);
    for (BSTR text : texts) SysFreeString(text);
}

TEST_F(ChartStandInTest, FailNextRaisesOnceAndTheCallIsStillRecorded) {
    struct Case { WORD flags; std::vector<COleVariant> args; OleString description; };
    const Case cases[] = {{kPut, {COleVariant(LONG{1})}, u"no room"}, {kGet, {}, u""}, {kCall, {}, u"busy"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        auto chart = ChartStandIn::Create();
        chart->FailNext(70, E_FAIL, u"replaced");
        chart->FailNext(70, E_ACCESSDENIED, c.description);
        const Outcome failed = CallRaw(chart.Get(), 70, c.flags, c.args);
        EXPECT_EQ(failed.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(failed.scode, E_ACCESSDENIED);
        EXPECT_EQ(failed.description, c.description.empty() ? std::nullopt : std::optional(c.description));
        EXPECT_EQ(Show(chart->Property(70)), "EMPTY");  // a failed put stores nothing
        EXPECT_EQ(CallRaw(chart.Get(), 70, c.flags, c.args).hr, S_OK);
        EXPECT_EQ(chart->Calls().size(), 2u);
    }
}

TEST_F(ChartStandInTest, FailsTheKthCallPlainlyAndCanRefuseTheChartInterface) {
    auto chart = ChartStandIn::Create();
    chart->FailCall(ChartOp::Put, 2, E_ACCESSDENIED);
    EXPECT_EQ(CallRaw(chart.Get(), 5, kPut, {COleVariant(LONG{1})}).hr, S_OK);
    EXPECT_EQ(CallRaw(chart.Get(), 5, kPut, {COleVariant(LONG{2})}).hr, E_ACCESSDENIED);
    EXPECT_EQ(Show(chart->Property(5)), "I4 1");
    EXPECT_EQ(chart->CallCount(ChartOp::Put), 2u);

    EXPECT_TRUE(chart.TryQuery<IChartControl>());
    chart->SetOffersChartInterface(false);
    EXPECT_FALSE(chart.TryQuery<IChartControl>());
    EXPECT_TRUE(chart.TryQuery<IDispatch>());
}

}  // namespace
