#include "tools/TraceWriter.h"

#include "standins/VariantJson.h"
#include "tools/SessionParser.h"

namespace tessel {

void TraceWriter::Report(const StepRecord& record) { WriteHostStep(record); }

void TraceWriter::WriteHostStep(const StepRecord& record) {
    const Step& step = record.step;
    const Outcome& outcome = record.outcome;
    std::string& line = out_.Buffer();
    line += "{\"host\":\"";
    line += SessionParser::StepName(step.kind);
    line += "\",\"member\":";
    standins::AppendJsonString(line, step.member->name);
    if (!outcome.Ok()) {
        line += ",\"ok\":false,\"hr\":\"";
        line += ResultCodeText(outcome.code);
        line += "\",\"error\":";
        standins::AppendJsonString(line, outcome.error);
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
            standins::AppendJsonString(line, step.file.empty() ? "object" : step.file);
        line += '}';
    } else if (step.kind == Step::Kind::Get || (step.kind == Step::Kind::Call && step.member->HasResult())) {
        line += ",\"value\":";
        standins::AppendJsonVariant(out_, outcome.value);
    }
    out_.Append("}\n");
    out_.Spill();
}

}  // namespace tessel
