#include "tools/TraceWriter.h"

#include <cstdio>

#include "tools/VariantJson.h"

namespace tessel {

namespace {

const char* KindName(standins::ChartCall::Kind kind) {
    switch (kind) {
        case standins::ChartCall::Put: return "put";
        case standins::ChartCall::Get: return "get";
        default: return "call";
    }
}

const char* StepName(Step::Kind kind) {
    switch (kind) {
        case Step::Kind::Set: return "set";
        case Step::Kind::Get: return "get";
        default: return "call";
    }
}

}  // namespace

void TraceWriter::WriteChartCall(TextOutput& out, const standins::ChartCall& call) {
    out.Append("{\"chart\":\"");
    out.Append(KindName(call.kind));
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

void TraceWriter::Report(const StepRecord& record) { WriteHostStep(record); }

void TraceWriter::WriteHostStep(const StepRecord& record) {
    const Step& step = record.step;
    const Outcome& outcome = record.outcome;
    std::string& line = out_.Buffer();
    line += "{\"host\":\"";
    line += StepName(step.kind);
    line += "\",\"member\":";
    AppendJsonString(line, step.member->name);
    if (!outcome.Ok()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(outcome.code));
        line += ",\"ok\":false,\"hr\":\"";
        line += code;
        line += "\",\"error\":";
        AppendJsonString(line, outcome.error);
        line += "}\n";
        out_.Spill();
        return;
    }
    line += ",\"ok\":true";
    const bool returnsTable = step.kind == Step::Kind::Get && step.member->kind == MemberKind::TableProperty &&
                              outcome.value.vt == VT_DISPATCH;
    if (returnsTable) {
        // A table is named by the file it went to: an object's address
        // would differ from run to run.
        line += ",\"value\":{\"vt\":\"DISPATCH\",\"v\":";
        if (!outcome.value.pdispVal)
            line += "null";
        else
            AppendJsonString(line, step.file.empty() ? "object" : step.file);
        line += '}';
    } else if (step.kind == Step::Kind::Get || (step.kind == Step::Kind::Call && step.member->HasResult())) {
        line += ",\"value\":";
        AppendJsonVariant(out_, outcome.value);
    }
    out_.Append("}\n");
    out_.Spill();
}

}  // namespace tessel
