#include "tools/Session.h"

#include <algorithm>
#include <utility>

#include <new>

#include "links/TemplateStore.h"
#include "platform/SaveFileDialog.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"

namespace tessel {

namespace {

COleVariant NullTable() {
    COleVariant null;
    null.vt = VT_DISPATCH;
    null.pdispVal = nullptr;
    return null;
}

}  // namespace

Session::Session(std::filesystem::path folder, std::vector<StepSink*> sinks)
    : folder_(std::move(folder)), sinks_(std::move(sinks)), chart_(standins::ChartStandIn::Create()) {
    chart_->ForwardCalls([this](const standins::ChartCall& call) {
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

void Session::Check(const std::vector<Step>&) {}

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
            chart_->SetKeepsPuts(i < stepsUpToLastGet);
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
        const Outcome outcome = RunMember(step);
        callFailure_.Rethrow();
        ++result_.stepsRun;
        if (!outcome.Ok()) ++result_.membersFailed;
        const StepRecord record{step, outcome};
        for (StepSink* sink : sinks_) sink->Report(record);
        if (step.kind == Step::Kind::Get) SaveReturnedTable(step, outcome);
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
    return control_->Call(name, std::span<const VARIANT>(static_cast<const VARIANT*>(&argument), 1));
}

Outcome Session::RunSet(const Step& step) {
    const std::string_view name = step.member->name;
    if (step.value == Step::Value::Null) return control_->Put(name, NullTable());
    if (step.value == Step::Value::Number) return control_->Put(name, COleVariant(step.number));

    COleVariant table;
    try {
        const std::filesystem::path file = Resolve(step.file);
        if (standins::FormOf(file) == standins::TableFileForm::Cells) {
            const ComPtr<standins::HostCellTable> cells = standins::LoadCellTable(file, step.file);
            table = COleVariant(static_cast<IDispatch*>(cells.Get()));
        } else {
            ComPtr<standins::HostRecordTable> records = standins::FormOf(file) == standins::TableFileForm::Chunks
                                                            ? standins::LoadChunkTable(file, step.file)
                                                            : standins::LoadRecordTable(file, step.file);
            records->SetDataFlag(step.flag);
            table = COleVariant(static_cast<IDispatch*>(records.Get()));
            if (step.flag == 0) lent_.push_back(std::move(records));
        }
    } catch (const standins::TableFileError& error) {
        throw SessionError(step.line, error.what());
    }
    return control_->Put(name, table);
}

void Session::SaveReturnedTable(const Step& step, const Outcome& outcome) {
    if (!outcome.Ok() || step.file.empty() || outcome.value.vt != VT_DISPATCH || !outcome.value.pdispVal) return;
    const auto lent = std::ranges::find_if(lent_, [&](const ComPtr<standins::HostRecordTable>& table) {
        return static_cast<IDispatch*>(table.Get()) == outcome.value.pdispVal;
    });
    if (lent == lent_.end()) throw SessionError(step.line, "the returned table is not one this session lent");
    try {
        standins::SaveRecordTable(**lent, Resolve(step.file), step.file);
    } catch (const standins::TableFileError& error) {
        throw SessionError(step.line, error.what());
    }
}

void Session::SetChart(const Step& step) {
    try {
        switch (step.kind) {
            case Step::Kind::ChartGrid: {
                COleSafeArray grid;
                standins::LoadCellGrid(Resolve(step.file), step.file, grid);
                chart_->SetProperty(step.number, grid);
                break;
            }
            case Step::Kind::ChartBytes: {
                const std::string bytes = standins::ReadFileBytes(Resolve(step.file), step.file);
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
                const std::u8string path = Resolve(step.file).u8string();
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

std::filesystem::path Session::Resolve(const std::string& file) const {
    const std::filesystem::path path(file);
    return path.is_absolute() ? path : folder_ / path;
}

}  // namespace tessel
