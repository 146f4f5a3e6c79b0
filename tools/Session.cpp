#include "tools/Session.h"

#include <algorithm>
#include <map>
#include <new>
#include <system_error>
#include <utility>

#include "control/TesselAdapterCtrl.h"
#include "links/TemplateStore.h"
#include "platform/SaveFileDialog.h"
#include "standins/Utf8.h"
#include "tools/TableCheck.h"

namespace tessel {

namespace {

COleVariant NullTable() {
    COleVariant null;
    null.vt = VT_DISPATCH;
    null.pdispVal = nullptr;
    return null;
}

// What a step reads and writes, by name as written.
const std::string* ReadName(const Step& step) {
    const bool reads = (step.kind == Step::Kind::Set && step.value == Step::Value::File) ||
                       step.kind == Step::Kind::ChartGrid || step.kind == Step::Kind::ChartBytes;
    return reads ? &step.file : nullptr;
}

// A get saves the table it returns; a save dialog's answer is where the
// chart writes its picture.
const std::string* WriteName(const Step& step) {
    const bool writes = (step.kind == Step::Kind::Get || step.kind == Step::Kind::Dialog) && !step.file.empty();
    return writes ? &step.file : nullptr;
}

std::string Writer(const Step& step) {
    return step.kind == Step::Kind::Dialog ? "dialog" : "get " + std::string(step.member->name);
}

std::filesystem::path Under(const std::filesystem::path& folder, const std::string& file) {
    const std::filesystem::path path(file);
    return path.is_absolute() ? path : folder / path;
}

}  // namespace

std::filesystem::path Session::SameFile(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path same = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    return error ? std::filesystem::absolute(path).lexically_normal() : same;
}

SessionFiles Session::Check(const std::vector<Step>& steps, const SessionPlaces& places) {
    SessionFiles files;
    std::map<std::filesystem::path, long> readAt;  // an input's first reading line, 0 for the session
    if (!places.session.empty()) {
        const std::filesystem::path session = SameFile(places.session);
        readAt.emplace(session, 0);
        files.inputs.insert(session);
    }
    std::set<std::string> written;
    for (const Step& step : steps) {
        if (const std::string* name = ReadName(step)) {
            const std::filesystem::path path = SameFile(Under(written.contains(*name) ? places.out : places.folder, *name));
            if (!files.outputs.contains(path) && readAt.emplace(path, step.line).second) files.inputs.insert(path);
        }
        if (const std::string* name = WriteName(step)) {
            const std::filesystem::path path = SameFile(Under(places.out, *name));
            if (const auto input = readAt.find(path); input != readAt.end()) {
                const std::string reader = input->second == 0
                                               ? "the session itself"
                                               : "which line " + std::to_string(input->second) + " reads";
                throw SessionError(step.line, Writer(step) + " would overwrite " + *name + ", " + reader +
                                                  "; save it under another name, or with --out DIR elsewhere");
            }
            files.outputs.insert(path);
            written.insert(*name);
        }
    }
    return files;
}

Session::Session(SessionPlaces places, std::vector<StepSink*> sinks)
    : places_(std::move(places)),
      sinks_(std::move(sinks)),
      chart_(standins::ChartStandIn::Create()),
      version_(CTesselAdapterCtrl::kDefaultVersion) {
    chart_->ForwardCalls([this](const standins::ChartCall& call) {
        ++stepCalls_;
        callFailure_.Run([&] {
            for (StepSink* sink : sinks_) sink->ReportCall(call);
        });
    });
    platform::InstallSaveDialogAnswerer([this](const platform::SaveDialogOptions&) {
        return std::exchange(dialogAnswer_, std::nullopt);
    });
}

// The control goes first, so that it releases the chart and any kept table
// before they are dropped here; the template store outlives controls.
Session::~Session() {
    control_.reset();
    lent_.clear();
    chart_.Reset();
    host_.reset();
    platform::InstallSaveDialogAnswerer({});
    CTemplateStore::DiscardAll();
}

// default: a scheme in use; noscheme: registered, no scheme in use; none:
// nothing registered.
void Session::SetEnvironment(const Step& step) {
    host_.reset();
    if (step.text == "none") return;
    host_ = std::make_unique<standins::HostEnvironmentStandIn>();
    if (step.text == "noscheme") host_->Look().inUse = 0;
}

SessionResult Session::Run(const std::vector<Step>& steps) {
    // Only a get step reads what the chart was given; after the last one
    // the chart need not keep a copy of every grid put into it.
    const auto lastGet = std::find_if(steps.rbegin(), steps.rend(),
                                      [](const Step& step) { return step.kind == Step::Kind::Get; });
    const std::size_t stepsUpToLastGet = static_cast<std::size_t>(steps.rend() - lastGet);
    try {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            chart_->SetKeepsPuts(keepsPuts_ || i < stepsUpToLastGet);
            RunGuarded(steps[i]);
        }
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
    return result_;
}

void Session::Finish() {
    if (finished_) return;
    finished_ = true;
    for (StepSink* sink : sinks_) sink->Finish(result_.stepsRun, result_.membersFailed);
}

// Whatever leaves a step ends the run as that step's SessionError, so that
// the user sees the line at fault rather than an aborted process.
void Session::RunGuarded(const Step& step) {
    try {
        RunStep(step);
    } catch (const SessionError&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw SessionError(step.line, "out of memory");
    } catch (const std::exception& error) {
        throw SessionError(step.line, error.what());
    }
}

void Session::RunStep(const Step& step) {
    if (!step.CallsMember()) {
        SetChart(step);
        return;
    }
    if (!control_) control_ = std::make_unique<ControlDriver>();
    {
        stepCalls_ = 0;
        const Outcome outcome = RunMember(step);
        callFailure_.Rethrow();
        ++result_.stepsRun;
        if (!outcome.Ok()) ++result_.membersFailed;
        // A fill that failed before the chart heard anything stopped in the table.
        const std::string place = outcome.Ok() || stepCalls_ != 0 ? std::string() : PlaceOfFailure(step);
        handed_ = {};
        // Saved before it is reported, so that the report says so only once
        // it is; a save that fails is reported as not done, then ends the run.
        std::optional<SessionError> saveFailure;
        bool saved = false;
        if (step.kind == Step::Kind::Get) {
            try {
                saved = SaveReturnedTable(step, outcome);
            } catch (const SessionError& error) {
                saveFailure = error;
            }
        }
        const StepRecord record{step, outcome, place, saved};
        for (StepSink* sink : sinks_) sink->Report(record);
        if (saveFailure) throw *saveFailure;
    }
    std::erase_if(lent_, [](const ComPtr<standins::HostRecordTable>& table) { return table->RefCount() == 1; });
}

Outcome Session::RunMember(const Step& step) {
    const std::string_view name = step.member->name;
    switch (step.kind) {
        case Step::Kind::Set: return RunSet(step);
        case Step::Kind::Get: return control_->Get(name);
        default: break;
    }
    if (!step.argument) return control_->Call(name, {});
    const Argument& given = *step.argument;
    COleVariant argument;
    switch (given.type) {
        case VT_I4: argument = COleVariant(given.number); break;
        case VT_I2: argument = COleVariant(static_cast<SHORT>(given.number), VT_I2); break;
        case VT_BOOL: argument = COleVariant(static_cast<SHORT>(given.number), VT_BOOL); break;
        case VT_BSTR: argument = COleVariant(given.text.data(), static_cast<UINT>(given.text.size())); break;
        default: argument = given.chart ? COleVariant(static_cast<IDispatch*>(chart_.Get())) : NullTable(); break;
    }
    if (name == "SetVersion") version_ = static_cast<SHORT>(given.number);
    return control_->Call(name, std::span<const VARIANT>(static_cast<const VARIANT*>(&argument), 1));
}

Outcome Session::RunSet(const Step& step) {
    const std::string_view name = step.member->name;
    if (step.value == Step::Value::Null) return control_->Put(name, NullTable());
    if (step.value == Step::Value::Number) return control_->Put(name, COleVariant(step.number));

    try {
        handed_ = standins::LoadTable(ReadPath(step.file), step.file, places_.encoding);
    } catch (const standins::TableFileError& error) {
        throw SessionError(step.line, error.what());
    }
    for (const std::string& warning : LoadWarnings(*step.member, handed_, step.file)) Warn(step, warning);
    if (handed_.records) {
        handed_.records->SetDataFlag(step.flag);
        if (step.flag == 0) lent_.push_back(handed_.records);
    }
    const COleVariant table(handed_.Dispatch());
    return control_->Put(name, table);
}

void Session::Warn(const Step& step, const std::string& text) {
    for (StepSink* sink : sinks_) sink->Warn(step.line, text);
}

// Where the control was in the table it read when its set failed: the
// record (or cell row) it read last, and what the checker says is wrong
// with it that makes a set fail.
std::string Session::PlaceOfFailure(const Step& step) const {
    if (step.kind != Step::Kind::Set || !step.member->table || (!handed_.records && !handed_.cells)) return {};
    long line = 0;
    std::vector<Finding> findings;
    const TableCheck check(*step.member, version_, places_.encoding);
    if (handed_.records) {
        const auto& calls = handed_.records->Calls();
        const auto read = std::find_if(calls.rbegin(), calls.rend(),
                                       [](const standins::HostCall& c) { return c.op == standins::HostOp::ReadRow; });
        if (read == calls.rend()) return {};
        line = static_cast<long>(read->row);
        if (step.member->table->form == TableForm::Records) findings = check.CheckRecord(*handed_.records, line);
    } else {
        const auto& calls = handed_.cells->Calls();
        const auto read = std::find_if(calls.rbegin(), calls.rend(),
                                       [](const standins::CellCall& c) { return c.op == standins::CellOp::Cell; });
        if (read == calls.rend()) return {};
        if (step.member->table->form == TableForm::Cells) findings = check.CheckCellRow(*handed_.cells, read->row);
        line = read->row + handed_.firstLine - 1;
    }
    std::string place = step.file + ":" + std::to_string(line);
    const auto fatal = std::ranges::find_if(findings, &Finding::fatal);
    if (fatal != findings.end()) place += ": " + fatal->Brief();
    return place;
}

bool Session::SaveReturnedTable(const Step& step, const Outcome& outcome) {
    if (step.file.empty()) return false;
    written_.insert(step.file);
    if (!outcome.Ok() || outcome.value.vt != VT_DISPATCH || !outcome.value.pdispVal) return false;
    const auto lent = std::ranges::find_if(lent_, [&](const ComPtr<standins::HostRecordTable>& table) {
        return static_cast<IDispatch*>(table.Get()) == outcome.value.pdispVal;
    });
    if (lent == lent_.end()) throw SessionError(step.line, "the returned table is not one this session lent");
    try {
        standins::SaveRecordTable(**lent, WritePath(step.file), step.file, places_.encoding);
    } catch (const standins::TableFileError& error) {
        throw SessionError(step.line, error.what());
    }
    return true;
}

void Session::SetChart(const Step& step) {
    try {
        switch (step.kind) {
            case Step::Kind::ChartGrid: {
                COleSafeArray grid;
                standins::LoadCellGrid(ReadPath(step.file), step.file, grid);
                chart_->SetProperty(step.number, grid);
                break;
            }
            case Step::Kind::ChartBytes: {
                const std::string bytes = standins::ReadFileBytes(ReadPath(step.file), step.file);
                COleSafeArray array;
                array.CreateOneDim(VT_UI1, static_cast<DWORD>(bytes.size()), bytes.data());
                chart_->SetProperty(step.number, array);
                break;
            }
            case Step::Kind::ChartSelection: chart_->SetSelection(step.texts[0], step.texts[1], step.texts[2]); break;
            case Step::Kind::ChartMatrix: chart_->SetMatrix(step.texts[0], step.texts[1]); break;
            case Step::Kind::ChartStrategy: chart_->SetStrategy(step.texts[0]); break;
            case Step::Kind::ChartFail:
                chart_->FailNext(step.number, step.code, step.texts.empty() ? OleString() : step.texts[0]);
                break;
            case Step::Kind::Env: SetEnvironment(step); break;
            case Step::Kind::Dialog: {
                dialogAnswer_.reset();
                if (step.cancel) break;
                written_.insert(step.file);
                const std::u8string path = WritePath(step.file).u8string();
                OleString wide;
                standins::DecodeUtf8(std::string(path.begin(), path.end()), wide);
                dialogAnswer_ = std::move(wide);
                break;
            }
            default:
                throw SessionError(step.line, "this step cannot run in this build");
        }
    } catch (const standins::TableFileError& error) {
        throw SessionError(step.line, error.what());
    }
}

std::filesystem::path Session::ReadPath(const std::string& file) const {
    return Under(written_.contains(file) ? places_.out : places_.folder, file);
}

std::filesystem::path Session::WritePath(const std::string& file) const { return Under(places_.out, file); }

}  // namespace tessel
