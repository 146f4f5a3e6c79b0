// tessel: the command-line host. It runs host sessions against the adapter
// with stand-in host tables and a stand-in chart, shows the grids a table
// sends, and runs the bundled example.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "links/TemplateStore.h"
#include "standins/ChartStandIn.h"
#include "standins/ChartTrace.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"
#include "tools/CommandLine.h"
#include "tools/ControlDriver.h"
#include "tools/DeferredFailure.h"
#include "tools/GridPrinter.h"
#include "tools/Session.h"
#include "tools/SessionParser.h"
#include "tools/SummaryWriter.h"
#include "tools/TraceWriter.h"

#ifndef TESSEL_SOURCE_DIR
#define TESSEL_SOURCE_DIR "."
#endif
#ifndef TESSEL_DEMO_DIR
#define TESSEL_DEMO_DIR "tessel-demo"
#endif

namespace fs = std::filesystem;
using namespace tessel;

namespace {

constexpr int kOk = 0;
constexpr int kMemberFailed = 1;
constexpr int kUnusable = 2;

constexpr const char* kUsage =
    "usage: tessel run SESSION [--trace FILE] [--strict]\n"
    "       tessel grid PROPERTY FILE [--version N] [--json]\n"
    "       tessel demo [--out DIR]\n"
    "       tessel COMMAND --help\n";

constexpr const char* kHelp =
    "tessel runs host sessions against the adapter (CTesselAdapterCtrl), with\n"
    "host tables loaded from files and a stand-in chart that records every call.\n"
    "\n"
    "  run    run a session file and trace what the chart received\n"
    "  grid   show the grid(s) that putting one table property sends\n"
    "  demo   run the bundled scorecard example (examples/)\n"
    "\n"
    "The session, table file and trace formats are described in docs/tessel.md.\n";

constexpr const char* kRunHelp =
    "usage: tessel run SESSION [--trace FILE] [--strict]\n"
    "\n"
    "Runs the steps of SESSION in order against a real adapter through\n"
    "IDispatch::Invoke. A failing member is reported (code and text) and the\n"
    "session goes on. Paths in the session are relative to its folder.\n"
    "\n"
    "  --trace FILE  write every chart call and every member step as JSON Lines\n"
    "                to FILE (- for standard output) instead of the summary\n"
    "  --strict      exit with status 1 when a member failed\n"
    "\n"
    "Exit status: 0 every step ran; 1 with --strict when a member failed;\n"
    "2 the session is unusable (a syntax error runs no step; a missing or\n"
    "unloadable file ends the run there), with FILE:LINE: message on\n"
    "standard error.\n";

constexpr const char* kGridHelp =
    "usage: tessel grid PROPERTY FILE [--version N] [--json]\n"
    "\n"
    "Puts table property PROPERTY with the host table in FILE (the reader\n"
    "reads it: its data flag is 1) on an adapter attached to a stand-in chart,\n"
    "and shows what reached the chart: for each chart call its arguments, and\n"
    "every grid as a table of column numbers, variant types and values, with\n"
    "NULs, tabs and other control characters made visible. A map or template\n"
    "property is only collected, so AddTemplate (or, for the blob-sourced\n"
    "templates, AddTemplateEx) is called after it to show the collected grid.\n"
    "\n"
    "  --version N   the layout version set first (default 310)\n"
    "  --json        print the chart calls as trace lines instead\n"
    "\n"
    "Exit status: 0 the put succeeded; 1 it failed (code and text on standard\n"
    "error); 2 the table file cannot be loaded or the command line is wrong.\n";

constexpr const char* kDemoHelp =
    "usage: tessel demo [--out DIR]\n"
    "\n"
    "Runs the bundled example, a scorecard in layout version 310: perspectives,\n"
    "strategies, objectives, field catalogues, measures and initiatives, links,\n"
    "UI strings, a context menu, a blob, blob-sourced links and templates, and\n"
    "round trips that write the chart's objectives, links, blob and\n"
    "blob-sourced links back into kept tables. The example is\n"
    "copied from examples/ into DIR and run there, so that examples/ stays as\n"
    "it is; the summary goes to standard output, the trace and the written-back\n"
    "tables to DIR.\n"
    "\n"
    "  --out DIR     where the example runs (default " TESSEL_DEMO_DIR ")\n";

// Map and template tables are only collected by their setters; the
// template method that sends one shows what its entry holds.
bool IsCollected(std::string_view property) { return property.ends_with("Map") || property.ends_with("Template"); }

bool CarriesNothing(const standins::ChartCall& call) {
    return std::ranges::all_of(call.args, [](const COleVariant& arg) { return arg.vt == VT_EMPTY; });
}

// AddTemplate sends most entries; the blob-sourced templates only go with
// AddTemplateEx, tried when AddTemplate carried nothing.
Outcome SendCollected(ControlDriver& control, standins::ChartStandIn& chart) {
    Outcome outcome = control.Call("AddTemplate", {});
    if (!outcome.Ok() || chart.Calls().empty() || !CarriesNothing(chart.Calls().back())) return outcome;
    chart.ClearCalls();
    return control.Call("AddTemplateEx", {});
}

// Every error goes to standard error through here, with long words cut:
// a message stays readable whatever the input echoed into it.
void PrintError(const std::string& message) { std::cerr << standins::ShortenLongWords(message) << '\n'; }

std::string At(const std::string& shown, long line) { return shown + ':' + std::to_string(line) + ": "; }

bool WantsHelp(const std::vector<std::string>& words) {
    for (const std::string& word : words)
        if (word == "--help" || word == "-h") return true;
    return false;
}

// Runs a parsed session from its folder into the given sinks. Returns the
// exit status and prints the error of an unusable session.
int RunSteps(const std::string& shown, const fs::path& folder, const std::vector<Step>& steps,
             std::vector<StepSink*> sinks, SessionResult& result) {
    try {
        Session session(folder, std::move(sinks));
        result = session.Run(steps);
        return kOk;
    } catch (const SessionError& error) {
        PrintError(At(shown, error.Line()) + error.what());
        return kUnusable;
    }
}

// Reads and checks a session; prints the error and returns false when it is
// unusable.
bool LoadSession(const std::string& shown, const fs::path& file, std::vector<Step>& steps) {
    try {
        const std::string text = standins::ReadFileBytes(file, shown);
        steps = SessionParser::Parse(text);
        Session::Check(steps);
        return true;
    } catch (const standins::TableFileError& error) {
        PrintError(error.what());
    } catch (const SessionError& error) {
        PrintError(At(shown, error.Line()) + error.what());
    } catch (const std::bad_alloc&) {
        PrintError(shown + ": out of memory");
    }
    return false;
}

int RunCommand(const std::vector<std::string>& words) {
    if (WantsHelp(words)) {
        std::cout << kRunHelp;
        return kOk;
    }
    const CommandLine line(words, {"--trace"}, {"--strict"});
    if (line.Positional().size() != 1) throw UsageError("run takes one session file");
    const std::string& shown = line.Positional()[0];
    std::vector<Step> steps;
    if (!LoadSession(shown, shown, steps)) return kUnusable;

    // Opened only now: a session that does not parse leaves no trace file.
    TextOutput out(line.Has("--trace") ? line.Value("--trace") : "-");
    TraceWriter trace(out);
    SummaryWriter summary(out);
    StepSink* sink = line.Has("--trace") ? static_cast<StepSink*>(&trace) : &summary;
    SessionResult result;
    if (const int status = RunSteps(shown, fs::path(shown).parent_path(), steps, {sink}, result); status != kOk)
        return status;
    return line.Has("--strict") && result.membersFailed > 0 ? kMemberFailed : kOk;
}

int GridCommand(const std::vector<std::string>& words) {
    if (WantsHelp(words)) {
        std::cout << kGridHelp;
        return kOk;
    }
    const CommandLine line(words, {"--version"}, {"--json"});
    if (line.Positional().size() != 2) throw UsageError("grid takes a property and a table file");
    const std::string& property = line.Positional()[0];
    const std::string& file = line.Positional()[1];
    const AdapterMember* member = FindAdapterMember(property);
    if (!member || member->kind != MemberKind::TableProperty)
        throw UsageError(property + " is not a table property");
    const std::string versionText = line.Value("--version", "310");
    SHORT version = 0;
    const char* end = versionText.data() + versionText.size();
    if (const auto [stop, error] = std::from_chars(versionText.data(), end, version);
        error != std::errc() || stop != end)
        throw UsageError("--version takes a 16-bit number, not " + versionText);

    COleVariant table;
    try {
        if (standins::FormOf(file) == standins::TableFileForm::Cells) {
            table = COleVariant(static_cast<IDispatch*>(standins::LoadCellTable(file, file).Get()));
        } else {
            const ComPtr<standins::HostRecordTable> records = standins::FormOf(file) == standins::TableFileForm::Chunks
                                                                  ? standins::LoadChunkTable(file, file)
                                                                  : standins::LoadRecordTable(file, file);
            table = COleVariant(static_cast<IDispatch*>(records.Get()));
        }
    } catch (const standins::TableFileError& error) {
        PrintError(error.what());
        return kUnusable;
    } catch (const std::bad_alloc&) {
        PrintError(file + ": out of memory");
        return kUnusable;
    }

    TextOutput out("-");
    std::size_t shown = 0;
    const auto show = [&](const standins::ChartCall& call) {
        ++shown;
        if (line.Has("--json"))
            standins::AppendChartCall(out, call);
        else
            GridPrinter(out).Print(call);
    };
    DeferredFailure showFailure;  // raised again once the control is done
    const ComPtr<standins::ChartStandIn> chart = standins::ChartStandIn::Create();
    Outcome outcome;
    {
        ControlDriver control;
        const COleVariant versionArg(version, VT_I2);
        control.Call("SetVersion", std::span<const VARIANT>(static_cast<const VARIANT*>(&versionArg), 1));
        const COleVariant handle(static_cast<IDispatch*>(chart.Get()));
        control.Call("HandleTesselCtrl", std::span<const VARIANT>(static_cast<const VARIANT*>(&handle), 1));
        chart->ClearCalls();  // the attach's own calls are not the table's
        // A table sent straight on is shown as it reaches the chart, so the
        // chart keeps no second copy of its grid. A collected one is sent by
        // a template method whose calls are only known to matter afterwards.
        if (!IsCollected(property)) {
            chart->ForwardCalls([&](const standins::ChartCall& call) { showFailure.Run([&] { show(call); }); });
            chart->SetKeepsPuts(false);
        }
        outcome = control.Put(property, table);
        table.Clear();
        if (outcome.Ok() && IsCollected(property)) outcome = SendCollected(control, *chart);
    }
    CTemplateStore::DiscardAll();
    showFailure.Rethrow();
    for (const standins::ChartCall& call : chart->Calls()) show(call);
    if (shown == 0 && !line.Has("--json")) out.Append("nothing reached the chart\n");
    out.Flush();
    if (!outcome.Ok()) {
        PrintError(property + ": failed " + ResultCodeText(outcome.code) + ' ' + outcome.error);
        return kMemberFailed;
    }
    return kOk;
}

int DemoCommand(const std::vector<std::string>& words) {
    if (WantsHelp(words)) {
        std::cout << kDemoHelp;
        return kOk;
    }
    const CommandLine line(words, {"--out"}, {});
    if (!line.Positional().empty()) throw UsageError("demo takes no file");
    const fs::path examples = fs::path(TESSEL_SOURCE_DIR) / "examples";
    const fs::path out = line.Value("--out", TESSEL_DEMO_DIR);
    try {
        fs::create_directories(out);
        for (const fs::directory_entry& entry : fs::directory_iterator(examples))
            if (entry.is_regular_file())
                fs::copy_file(entry.path(), out / entry.path().filename(), fs::copy_options::overwrite_existing);
    } catch (const fs::filesystem_error& error) {
        PrintError(std::string("tessel demo: ") + error.what());
        return kUnusable;
    }

    const fs::path sessionFile = out / "scorecard.session";
    const std::string shown = sessionFile.string();
    std::vector<Step> steps;
    if (!LoadSession(shown, sessionFile, steps)) return kUnusable;

    const fs::path tracePath = out / "scorecard.trace.jsonl";
    TextOutput screen("-");
    TextOutput traceFile(tracePath.string());
    SummaryWriter summary(screen);
    TraceWriter trace(traceFile);
    std::cout << "Running " << shown << " (layout version 310 scorecard)\n" << std::flush;
    SessionResult result;
    if (const int status = RunSteps(shown, out, steps, {&summary, &trace}, result); status != kOk) return status;
    std::cout << "\nTrace of every chart call: " << tracePath.string() << '\n'
              << "Objectives written back from the chart: " << (out / "objectives-back.txt").string() << '\n';
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << kUsage;
        return kUnusable;
    }
    const std::string command = words.front();
    words.erase(words.begin());
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            std::cout << kHelp << '\n' << kUsage;
            return kOk;
        }
        if (command == "run") return RunCommand(words);
        if (command == "grid") return GridCommand(words);
        if (command == "demo") return DemoCommand(words);
        throw UsageError("unknown command " + command);
    } catch (const UsageError& error) {
        PrintError("tessel " + (command.starts_with("-") ? "" : command + ": ") + error.what());
        std::cerr << kUsage;
        return kUnusable;
    } catch (const OutputError& error) {
        PrintError(std::string("tessel: ") + error.what());
        return kUnusable;
    } catch (const std::bad_alloc&) {
        PrintError("tessel: out of memory");
        return kUnusable;
    } catch (const std::exception& error) {
        PrintError(std::string("tessel: ") + error.what());
        return kUnusable;
    }
}
