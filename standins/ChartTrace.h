// Chart calls as JSON Lines: one object per call,
// {"chart":"put|get|call","dispid":N,"args":[variant, ...]}, the form the
// traces of tessel and the registered chart's Trace both carry.
#pragma once

#include <span>
#include <string>

#include "standins/ChartStandIn.h"
#include "standins/JsonText.h"

namespace standins {

// "put", "get" or "call".
const char* ChartCallKindName(ChartCall::Kind kind) noexcept;
void AppendChartCall(JsonText& out, const ChartCall& call);
// Every call, one line each.
std::string ChartTrace(std::span<const ChartCall> calls);

}  // namespace standins
