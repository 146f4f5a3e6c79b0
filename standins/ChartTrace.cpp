#include "standins/ChartTrace.h"

#include "standins/VariantJson.h"

namespace standins {

const char* ChartCallKindName(ChartCall::Kind kind) noexcept {
    switch (kind) {
        case ChartCall::Put: return "put";
        case ChartCall::Get: return "get";
        default: return "call";
    }
}

void AppendChartCall(JsonText& out, const ChartCall& call) {
    out.Append("{\"chart\":\"");
    out.Append(ChartCallKindName(call.kind));
    out.Append("\",\"dispid\":");
    out.Append(std::to_string(call.dispid));
    out.Append(",\"args\":[");
    for (std::size_t i = 0; i < call.args.size(); ++i) {
        if (i) out.Append(",");
        // The stand-in records a reference as the value it held; the trace
        // shows how the argument was passed.
        AppendJsonVariant(out, call.args[i], (call.passed.at(i) & VT_BYREF) != 0);
    }
    out.Append("]}\n");
    out.Spill();
}

std::string ChartTrace(std::span<const ChartCall> calls) {
    JsonText text;
    for (const ChartCall& call : calls) AppendChartCall(text, call);
    return std::move(text.Buffer());
}

}  // namespace standins
