#include "tools/SummaryWriter.h"

#include "control/ChartMembers.h"
#include "platform/OleSafeArray.h"
#include "standins/ChartTrace.h"
#include "standins/Utf8.h"
#include "standins/VariantJson.h"
#include "tools/SessionParser.h"

namespace tessel {

namespace {

// Enough calls to see what a step did; a tree table may cause thousands.
constexpr std::size_t kCallsShown = 6;
constexpr std::size_t kTextShown = 32;

}  // namespace

std::string SummaryWriter::Shape(const VARIANT& value) {
    if (!(value.vt & VT_ARRAY) || (value.vt & VT_BYREF) || !value.parray) return standins::VariantTypeName(value.vt);
    SAFEARRAY* array = value.parray;
    const UINT dims = SafeArrayGetDim(array);
    if (value.vt == (VT_ARRAY | VT_UI1) && dims == 1) return std::to_string(ExtentOf(array, 1)) + " bytes";
    std::string shape;
    for (UINT d = 1; d <= dims; ++d) {
        if (d > 1) shape += 'x';
        shape += std::to_string(ExtentOf(array, d));
    }
    shape += ' ';
    shape += value.vt == (VT_ARRAY | VT_VARIANT) && dims == 2 ? "grid" : standins::VariantTypeName(value.vt);
    return shape;
}

std::string SummaryWriter::Short(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY: return "empty";
        case VT_NULL: return "null";
        case VT_I2: return std::to_string(value.iVal);
        case VT_I4: return std::to_string(value.lVal);
        case VT_BOOL: return value.boolVal ? "true" : "false";
        case VT_R8: {
            std::string text;
            standins::AppendReal(text, value.dblVal);
            return text;
        }
        case VT_BSTR: {
            const std::u16string_view text = standins::TextOf(value.bstrVal);
            std::string shown;
            standins::AppendJsonText(shown, text.substr(0, kTextShown));
            if (text.size() > kTextShown) shown.insert(shown.size() - 1, "...");
            return shown;
        }
        default: return Shape(value);
    }
}

void SummaryWriter::Report(const StepRecord& record) {
    const Step& step = record.step;
    const Outcome& outcome = record.outcome;
    std::string& line = out_.Buffer();
    line += std::to_string(step.line);
    line += ": ";
    line += SessionParser::StepName(step.kind);
    line += ' ';
    line += step.member->name;
    if (!outcome.Ok()) {
        line += ": FAILED ";
        line += ResultCodeText(outcome.code);
        line += ' ';
        line += outcome.error;
        if (!record.place.empty()) {
            line += " (";
            line += record.place;
            line += ')';
        }
    } else {
        line += ": ok";
        if (step.kind == Step::Kind::Get && outcome.value.vt == VT_DISPATCH) {
            if (!outcome.value.pdispVal)
                line += ", no table";
            else
                line += step.file.empty() ? ", a table"
                        : record.saved    ? ", table saved to " + step.file
                                          : ", table not saved to " + step.file;
        } else if (step.kind == Step::Kind::Get || (step.kind == Step::Kind::Call && step.member->HasResult())) {
            line += " = " + Short(outcome.value);
        }
    }
    line += "; chart: ";
    EndRun();
    line += shown_ == 0 ? "nothing" : calls_;
    if (shown_ > kCallsShown) line += " and " + std::to_string(shown_ - kCallsShown) + " more";
    line += '\n';
    calls_.clear();
    previous_.clear();
    repeats_ = shown_ = 0;
    out_.Spill();
}

void SummaryWriter::ReportCall(const standins::ChartCall& call) {
    std::string described = standins::ChartCallKindName(call.kind);
    described += ' ';
    described += std::to_string(call.dispid);
    if (const chart::Member* member = chart::Find(call.dispid)) {
        described += ' ';
        described += member->name;
    }
    for (std::size_t a = 0; a < call.args.size(); ++a) {
        described += a ? ", " : " (";
        described += Shape(call.args[a]);
    }
    if (!call.args.empty()) described += ')';
    if (described == previous_) {
        ++repeats_;
        return;
    }
    EndRun();
    previous_ = std::move(described);
    repeats_ = 1;
}

void SummaryWriter::Warn(long line, const std::string& text) {
    out_.Append(std::to_string(line) + ": warning: " + text + "\n");
    out_.Spill();
}

void SummaryWriter::EndRun() {
    if (repeats_ == 0) return;
    if (shown_++ < kCallsShown) {
        calls_ += shown_ > 1 ? ", " : "";
        calls_ += previous_;
        if (repeats_ > 1) calls_ += " x" + std::to_string(repeats_);
    }
    repeats_ = 0;
}

void SummaryWriter::Finish(long stepsRun, long membersFailed) {
    out_.Append(std::to_string(stepsRun) + " member steps ran, " + std::to_string(membersFailed) + " failed\n");
    out_.Flush();
}

}  // namespace tessel
