#include "standins/registered/RegisteredChart.h"

#include "standins/ChartTrace.h"
#include "standins/Utf8.h"

namespace standins {

namespace {

using Self = RegisteredChart;

// The adapter's chart members all lie below the script members.
void CheckChartMember(LONG dispid) {
    if (dispid >= kFirstScriptMember) RaiseError(E_INVALIDARG, {}, OLESTR("not a chart member the adapter calls"));
}

}  // namespace

std::span<const ScriptMember<Self>> RegisteredChart::Members() {
    static const ScriptMember<Self> members[] = {
        PropertyMember<Self>("Trace", 1000, VT_BSTR, {}, [](Self& c, MemberCall& call) { return call.Return(c.Trace()); },
                             nullptr),
        MethodMember<Self>("ClearTrace", 1001, VT_EMPTY, {},
                           [](Self& c, MemberCall&) {
                               c.ClearCalls();
                               return S_OK;
                           }),
        MethodMember<Self>("Answer", 1002, VT_EMPTY, {{VT_I4, "dispid"}, {VT_VARIANT, "value"}},
                           [](Self& c, MemberCall& call) {
                               CheckChartMember(call.Arg(0).lVal);
                               c.SetAnswer(call.Arg(0).lVal, call.Arg(1));
                               return S_OK;
                           }),
        MethodMember<Self>("FailNext", 1003, VT_EMPTY, {{VT_I4, "dispid"}, {VT_I4, "code"}, {VT_BSTR, "description"}},
                           [](Self& c, MemberCall& call) {
                               const BSTR text = call.Arg(2).bstrVal;
                               CheckChartMember(call.Arg(0).lVal);
                               c.FailNext(call.Arg(0).lVal, call.Arg(1).lVal, OleString(text, SysStringLen(text)));
                               return S_OK;
                           }),
    };
    return members;
}

COleVariant RegisteredChart::Trace() const {
    OleString text;
    // The trace writer writes well-formed UTF-8 only.
    DecodeUtf8(ChartTrace(Calls()), text);
    return COleVariant(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace standins
