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
        Member<Self>("Trace", 1000, DISPATCH_PROPERTYGET, VT_BSTR, {},
                     [](Self& c, const VARIANT*) { return c.Trace(); }),
        Member<Self>("ClearTrace", 1001, DISPATCH_METHOD, VT_EMPTY, {},
                     [](Self& c, const VARIANT*) {
                         c.ClearCalls();
                         return COleVariant();
                     }),
        Member<Self>("Answer", 1002, DISPATCH_METHOD, VT_EMPTY, {VT_I4, VT_VARIANT},
                     [](Self& c, const VARIANT* a) {
                         CheckChartMember(a[0].lVal);
                         c.SetAnswer(a[0].lVal, a[1]);
                         return COleVariant();
                     }),
        Member<Self>("FailNext", 1003, DISPATCH_METHOD, VT_EMPTY, {VT_I4, VT_I4, VT_BSTR},
                     [](Self& c, const VARIANT* a) {
                         CheckChartMember(a[0].lVal);
                         c.FailNext(a[0].lVal, a[1].lVal, OleString(a[2].bstrVal, SysStringLen(a[2].bstrVal)));
                         return COleVariant();
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
