// tessel: the command-line host. It runs host sessions against the adapter
// with stand-in host tables and a stand-in chart, shows the grids a table
// sends, describes and checks host tables, and runs the bundled example.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "links/TemplateStore.h"
#include "standins/ChartStandIn.h"
#include "standins/ChartTrace.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"
#include "standins/picture/Picture.h"
#include "standins/picture/StrategyMap.h"
#include "tools/CommandLine.h"
#include "tools/ControlDriver.h"
#include "tools/DeferredFailure.h"
#include "tools/GridPrinter.h"
#include "tools/LayoutDescription.h"
#include "tools/Nearest.h"
#include "tools/Reference.h"
#include "tools/Session.h"
#include "tools/SessionParser.h"
#include "tools/SummaryWriter.h"
#include "tools/TableCheck.h"
#include "tools/TraceWriter.h"

#ifndef TESSEL_EXAMPLES_FROM_EXECUTABLE
#define TESSEL_EXAMPLES_FROM_EXECUTABLE "../share/tessel/examples"
#endif
#ifndef TESSEL_VERSION
#define TESSEL_VERSION "unknown"
#endif

namespace fs = std::filesystem;
using namespace tessel;

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;  // a member failed (--strict, grid) or a check found something
constexpr int kUnusable = 2;

constexpr const char* kUsage =
    "usage: tessel run SESSION [--trace FILE] [--out DIR] [--picture FILE] [--encoding utf-8] [--strict]\n"
    "       tessel grid PROPERTY FILE [--version N] [--json] [--encoding utf-8]\n"
    "       tessel check PROPERTY FILE [--version N] [--encoding utf-8]\n"
    "       tessel layout PROPERTY [--version N] [--json]\n"
    "       tessel reference\n"
    "       tessel demo [--out DIR]\n"
    "       tessel --version\n"
    "       tessel COMMAND --help\n";

constexpr const char* kHelp =
    "tessel runs host sessions against the adapter (CTesselAdapterCtrl), with\n"
    "host tables loaded from files and a stand-in chart that records every call.\n"
    "\n"
    "  run        run a session file and trace what the chart received\n"
    "  grid       show the grid(s) that putting one table property sends\n"
    "  check      check a host table file against a table property\n"
    "  layout     show the record layout of a table property\n"
    "  reference  print the members and table layouts (docs/reference.md)\n"
    "  demo       run the bundled scorecard example (examples/)\n"
    "\n"
    "Options take their value as --opt VALUE or --opt=VALUE. The session, table\n"
    "file and trace formats are described in docs/tessel.md.\n";

constexpr const char* kEncodingHelp =
    "  --encoding E  the text of record files: cp1252 (the default: the bytes\n"
    "                as the host sends them) or utf-8 (converted on reading and\n"
    "                on saving)\n";

constexpr const char* kRunHelp =
    "usage: tessel run SESSION [--trace FILE] [--out DIR] [--picture FILE] [--encoding utf-8] [--strict]\n"
    "\n"
    "Runs the steps of SESSION (- for standard input) in order against a real\n"
    "adapter through IDispatch::Invoke. A failing member is reported (code and\n"
    "text) and the session goes on. Paths in the session are relative to its\n"
    "folder; a session that would overwrite a file it reads runs no step.\n"
    "\n"
    "  --trace FILE  write every chart call and every member step as JSON Lines\n"
    "                to FILE (- for standard output) instead of the summary\n"
    "  --out DIR     write the tables the session saves under DIR (created if\n"
    "                only its last folder is missing) instead of its folder\n"
    "  --picture FILE  draw the strategy map the chart holds after the session\n"
    "                into FILE, a .png or .svg picture (1600 x 1000)\n"
    "  --strict      exit with status 1 when a member failed\n";

constexpr const char* kRunStatus =
    "\n"
    "Exit status: 0 every step ran; 1 with --strict when a member failed;\n"
    "2 the session is unusable (a syntax error runs no step; a missing or\n"
    "unloadable file ends the run there), with FILE:LINE: message on\n"
    "standard error.\n";

constexpr const char* kGridHelp =
    "usage: tessel grid PROPERTY FILE [--version N] [--json] [--encoding utf-8]\n"
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
    "  --json        print the chart calls as trace lines instead\n";

constexpr const char* kGridStatus =
    "\n"
    "Exit status: 0 the put succeeded; 1 it failed (code and text on standard\n"
    "error); 2 the table file cannot be loaded or the command line is wrong.\n";

constexpr const char* kCheckHelp =
    "usage: tessel check PROPERTY FILE [--version N] [--encoding utf-8]\n"
    "\n"
    "Checks the host table in FILE against table property PROPERTY at the\n"
    "layout version, without running the adapter: records shorter or longer\n"
    "than the layout, numbers that do not read as numbers, flags that are not\n"
    "X or blank, blank keys, sequence numbers outside the table, characters\n"
    "outside code page 1252, and a table of the wrong form. Each finding is one\n"
    "line, FILE:LINE:COLUMN: field (offset, width): message.\n"
    "\n"
    "  --version N   the layout version (default 310)\n";

constexpr const char* kCheckStatus =
    "\n"
    "Exit status: 0 the file is clean; 1 there are findings; 2 the file cannot\n"
    "be used at all or the command line is wrong.\n";

constexpr const char* kLayoutHelp =
    "usage: tessel layout PROPERTY [--version N] [--json]\n"
    "\n"
    "Shows what a table of PROPERTY must hold at the layout version: for a\n"
    "record table each field's offset, width, how it is read and the grid\n"
    "column it goes to, for the fill and, where the property is also read, for\n"
    "the write-back; for a cell table its cells.\n"
    "\n"
    "  --version N   the layout version (default 310)\n"
    "  --json        one JSON object per field instead\n";

constexpr const char* kReferenceHelp =
    "usage: tessel reference\n"
    "\n"
    "Prints docs/reference.md: the adapter's 53 members (identifier, kind,\n"
    "types, read and write rules, the chart calls each one makes) and the\n"
    "layouts of every table property at every version.\n";

constexpr const char* kDemoHelp =
    "usage: tessel demo [--out DIR]\n"
    "\n"
    "Runs the bundled example, a scorecard in layout version 310: perspectives,\n"
    "strategies, objectives, field catalogues, measures and initiatives, links,\n"
    "UI strings, a context menu, a blob, blob-sourced links and templates, and\n"
    "round trips that write the chart's objectives, links, blob and\n"
    "blob-sourced links back into kept tables. The example is\n"
    "copied from examples/ into DIR and run there, so that examples/ stays as\n"
    "it is; the summary goes to standard output, the trace, the written-back\n"
    "tables and the chart's picture (scorecard.png) to DIR.\n"
    "\n"
    "  --out DIR     where the example runs (default tessel-demo in the current\n"
    "                folder); only its last folder is created\n";

// Every error goes to standard error through here, with long words cut:
// a message stays readable whatever the input echoed into it.
void PrintError(const std::string& message) { std::cerr << standins::ShortenLongWords(message) << '\n'; }

std::string At(const std::string& shown, long line) { return shown + ':' + std::to_string(line) + ": "; }

bool WantsHelp(const std::vector<std::string>& words) {
    return std::ranges::any_of(words, [](const std::string& word) { return word == "--help" || word == "-h"; });
}

SHORT VersionOption(const CommandLine& line) {
    const std::string text = line.Value("--version", "310");
    SHORT version = 0;
    const char* end = text.data() + text.size();
    if (const auto [stop, error] = std::from_chars(text.data(), end, version); error != std::errc() || stop != end)
        throw UsageError("--version takes a 16-bit number such as 310, 30 or 20, not " + text);
    return version;
}

standins::Encoding EncodingOption(const CommandLine& line) {
    const std::string text = line.Value("--encoding", "cp1252");
    if (text == "cp1252") return standins::Encoding::Cp1252;
    if (text == "utf-8") return standins::Encoding::Utf8;
    static constexpr std::string_view kNames[] = {"cp1252", "utf-8"};
    throw UsageError("--encoding is cp1252 or utf-8, not " + text + DidYouMean(Nearest(text, kNames)));
}

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

// Warnings of a run whose summary is not shown: on standard error, with
// the session's name.
class ErrorStreamWarnings final : public StepSink {
public:
    explicit ErrorStreamWarnings(std::string shown) : shown_(std::move(shown)) {}
    void ReportCall(const standins::ChartCall&) override {}
    void Report(const StepRecord&) override {}
    void Warn(long line, const std::string& text) override { PrintError(At(shown_, line) + "warning: " + text); }
    void Finish(long, long) override {}

private:
    std::string shown_;
};

// Where the chart's picture goes, and in what format.
struct PictureFile {
    fs::path path;
    standins::picture::PictureFormat format;
};

// The --picture file, whose ending says the format: .png or .svg.
std::optional<PictureFile> PictureOption(const CommandLine& line) {
    if (!line.Has("--picture")) return std::nullopt;
    const fs::path path = line.Value("--picture");
    const auto format = standins::picture::PictureFormatOf(path);
    if (format != standins::picture::PictureFormat::Png && format != standins::picture::PictureFormat::Svg)
        throw UsageError("--picture takes a .png or .svg file, not " + path.string());
    // Found out now rather than once every step has run.
    if (const fs::path folder = path.parent_path(); !folder.empty() && !fs::is_directory(folder))
        throw UsageError("--picture " + path.string() + ": there is no folder " + folder.string());
    return PictureFile{path, *format};
}

// Runs a parsed session into the given sinks, then draws what the chart
// holds into `picture` when one is asked for. Returns the exit status and
// prints the error of an unusable session or an unwritable picture.
int RunSteps(const std::string& shown, SessionPlaces places, const std::vector<Step>& steps,
             std::vector<StepSink*> sinks, SessionResult& result, const std::optional<PictureFile>& picture = {}) {
    try {
        Session session(std::move(places), std::move(sinks));
        if (picture) session.KeepChartPuts();
        result = session.Run(steps);
        if (picture)
            standins::picture::WritePicture(standins::picture::ReadStrategyMap(session.Chart()), picture->format,
                                            picture->path);
        return kOk;
    } catch (const SessionError& error) {
        PrintError(At(shown, error.Line()) + error.what());
    } catch (const std::system_error& error) {
        PrintError(error.what());  // which already ends in the code's message
    }
    return kUnusable;
}

// The session's text: a file, or standard input for "-".
std::string SessionText(const std::string& shown) {
    if (shown != "-") return standins::ReadFileBytes(shown, shown);
    std::string text;
    char chunk[1 << 16];
    while (std::cin.read(chunk, sizeof chunk) || std::cin.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(std::cin.gcount()));
        if (text.size() > standins::kMaxFileBytes)
            throw standins::TableFileError("standard input: more than the " + std::to_string(standins::kMaxFileBytes) +
                                           " bytes a session may have");
    }
    return text;
}

// Reads and checks a session, its outputs included; prints the error and
// returns false when it is unusable.
bool LoadSession(const std::string& shown, const SessionPlaces& places, std::vector<Step>& steps,
                 SessionFiles& files) {
    try {
        steps = SessionParser::Parse(SessionText(shown));
        files = Session::Check(steps, places);
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

// Creates `folder` when only its last part is missing: a mistyped path is
// an error, not a tree of new folders.
void MakeLastFolder(const fs::path& folder) {
    std::error_code error;
    if (fs::is_directory(folder, error)) return;
    if (fs::exists(folder, error)) throw OutputError(folder.string() + " is not a folder");
    if (!fs::create_directory(folder, error) && error)
        throw OutputError("cannot create " + folder.string() + ": " + error.message());
}

// A file an option writes (the trace, the picture) is not one of the
// session's files, nor the session itself.
void CheckWritten(const std::string& option, const std::string& file, const std::string& session,
                  const SessionFiles& files) {
    if (file == "-") return;
    const fs::path same = Session::SameFile(file);
    const std::string named = option + " " + file;
    if (session != "-" && same == Session::SameFile(session)) throw UsageError(named + " is the session itself");
    if (files.inputs.contains(same)) throw UsageError(named + " would overwrite a table the session reads");
    if (files.outputs.contains(same)) throw UsageError(named + " is a table the session saves");
}

int RunCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {"--trace", "--out", "--picture", "--encoding"}, {"--strict"});
    if (line.Positional().size() != 1) throw UsageError("run takes one session file");
    const std::optional<PictureFile> picture = PictureOption(line);
    const std::string& shown = line.Positional()[0];
    const fs::path folder = shown == "-" ? fs::path(".") : fs::path(shown).parent_path();
    SessionPlaces places{folder, line.Has("--out") ? fs::path(line.Value("--out")) : folder, EncodingOption(line),
                         shown == "-" ? fs::path() : fs::path(shown)};
    std::vector<Step> steps;
    SessionFiles files;
    if (!LoadSession(shown, places, steps, files)) return kUnusable;
    const std::string traceName = line.Value("--trace", "-");
    if (line.Has("--trace")) CheckWritten("--trace", traceName, shown, files);
    if (picture) CheckWritten("--picture", picture->path.string(), shown, files);
    if (line.Has("--out")) MakeLastFolder(places.out);

    // Opened only now: a session that does not parse leaves no trace file.
    TextOutput out(traceName);
    TraceWriter trace(out);
    SummaryWriter summary(out);
    ErrorStreamWarnings warnings(shown);
    std::vector<StepSink*> sinks{&summary};
    if (line.Has("--trace")) sinks = {&trace, &warnings};
    SessionResult result;
    if (const int status = RunSteps(shown, places, steps, sinks, result, picture); status != kOk) return status;
    // Not into a trace on standard output, which holds trace lines only.
    if (picture) {
        std::ostream& note = line.Has("--trace") && traceName == "-" ? std::cerr : std::cout;
        note << "Picture of the chart: " << picture->path.string() << '\n';
    }
    return line.Has("--strict") && result.membersFailed > 0 ? kFailed : kOk;
}

// The table a command is given, loaded as a session step loads it; warns
// as a session does.
standins::LoadedTable LoadGiven(const AdapterMember& member, const std::string& file, standins::Encoding encoding) {
    standins::LoadedTable loaded = standins::LoadTable(file, file, encoding);
    for (const std::string& warning : LoadWarnings(member, loaded, file)) PrintError("warning: " + warning);
    return loaded;
}

// Runs `load`; a file it cannot use is reported, and false.
template <class Load>
bool Loaded(const std::string& file, Load&& load) {
    try {
        load();
        return true;
    } catch (const standins::TableFileError& error) {
        PrintError(error.what());
    } catch (const std::bad_alloc&) {
        PrintError(file + ": out of memory");
    }
    return false;
}

int GridCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {"--version", "--encoding"}, {"--json"});
    if (line.Positional().size() != 2) throw UsageError("grid takes a property and a table file");
    const AdapterMember& member = TableProperty(line.Positional()[0]);
    const std::string property(member.name);
    const std::string& file = line.Positional()[1];
    const SHORT version = VersionOption(line);
    const standins::Encoding encoding = EncodingOption(line);

    COleVariant table;
    if (!Loaded(file, [&] { table = COleVariant(LoadGiven(member, file, encoding).Dispatch()); })) return kUnusable;

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
        control.Prepare(version, chart.Get());
        chart->ClearCalls();  // the attach's own calls are not the table's
        // A table sent straight on is shown as it reaches the chart, so the
        // chart keeps no second copy of its grid. A collected one (a map or
        // template, as its dispatch entry says) is sent by a template method
        // whose calls are only known to matter afterwards.
        if (!member.table->collected) {
            chart->ForwardCalls([&](const standins::ChartCall& call) { showFailure.Run([&] { show(call); }); });
            chart->SetKeepsPuts(false);
        }
        outcome = control.Put(property, table);
        table.Clear();
        if (outcome.Ok() && member.table->collected) outcome = SendCollected(control, *chart);
    }
    CTemplateStore::DiscardAll();
    showFailure.Rethrow();
    for (const standins::ChartCall& call : chart->Calls()) show(call);
    if (shown == 0 && !line.Has("--json")) out.Append("nothing reached the chart\n");
    out.Flush();
    if (!outcome.Ok()) {
        PrintError(property + ": failed " + ResultCodeText(outcome.code) + ' ' + outcome.error);
        return kFailed;
    }
    return kOk;
}

int CheckCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {"--version", "--encoding"}, {});
    if (line.Positional().size() != 2) throw UsageError("check takes a property and a table file");
    const AdapterMember& member = TableProperty(line.Positional()[0]);
    const std::string& file = line.Positional()[1];
    const TableCheck check(member, VersionOption(line), EncodingOption(line));
    Findings findings;
    if (!Loaded(file, [&] { findings = check.Check(file, file); })) return kUnusable;
    TextOutput out("-");
    for (const Finding& finding : findings.kept) {
        out.Append(standins::ShortenLongWords(finding.Line(file)) + "\n");
        out.Spill();
    }
    if (findings.total > findings.kept.size())
        out.Append("and " + std::to_string(findings.total - findings.kept.size()) + " more findings\n");
    out.Flush();
    return findings.total == 0 ? kOk : kFailed;
}

int LayoutCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {"--version"}, {"--json"});
    if (line.Positional().size() != 1) throw UsageError("layout takes a table property");
    const AdapterMember& member = TableProperty(line.Positional()[0]);
    const SHORT version = VersionOption(line);
    TextOutput out("-");
    if (line.Has("--json"))
        PrintLayoutJson(out, member, version);
    else
        PrintLayoutText(out, member, version);
    return kOk;
}

int ReferenceCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {}, {});
    if (!line.Positional().empty()) throw UsageError("reference takes nothing");
    TextOutput out("-");
    out.Append(ReferenceText());
    out.Flush();
    return kOk;
}

// The bundled example, at its place relative to this executable: installed
// beside bin/ in share/tessel/examples, and copied to the same relative place
// in the build tree.
fs::path ExamplesFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) throw OutputError("cannot find the tessel executable's folder: " + error.message());
    const fs::path examples = (self.parent_path() / TESSEL_EXAMPLES_FROM_EXECUTABLE).lexically_normal();
    if (!fs::is_regular_file(examples / "scorecard.session", error))
        throw OutputError("the bundled example is not where tessel looks for it, " + examples.string());
    return examples;
}

int DemoCommand(const std::vector<std::string>& words) {
    const CommandLine line(words, {"--out"}, {});
    if (!line.Positional().empty()) throw UsageError("demo takes no file");
    const fs::path examples = ExamplesFolder();
    const fs::path out = line.Value("--out", "tessel-demo");
    MakeLastFolder(out);
    for (const fs::directory_entry& entry : fs::directory_iterator(examples)) {
        if (!entry.is_regular_file()) continue;
        const fs::path target = out / entry.path().filename();
        std::error_code error;
        fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, error);
        if (error) {
            PrintError(target.string() + ": cannot write: " + error.message());
            return kUnusable;
        }
    }

    const fs::path sessionFile = out / "scorecard.session";
    const std::string shown = sessionFile.string();
    const SessionPlaces places{out, out, standins::Encoding::Cp1252, sessionFile};
    std::vector<Step> steps;
    SessionFiles files;
    if (!LoadSession(shown, places, steps, files)) return kUnusable;

    const fs::path tracePath = out / "scorecard.trace.jsonl";
    TextOutput screen("-");
    TextOutput traceFile(tracePath.string());
    SummaryWriter summary(screen);
    TraceWriter trace(traceFile);
    std::cout << "Running " << shown << " (layout version 310 scorecard)\n" << std::flush;
    const PictureFile picture{out / "scorecard.png", standins::picture::PictureFormat::Png};
    SessionResult result;
    if (const int status = RunSteps(shown, places, steps, {&summary, &trace}, result, picture); status != kOk)
        return status;
    std::cout << "\nTrace of every chart call: " << tracePath.string() << '\n'
              << "Objectives written back from the chart: " << (out / "objectives-back.txt").string() << '\n'
              << "Picture of the chart: " << picture.path.string() << '\n';
    return kOk;
}

struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string>&);
    const char* help;
    const char* status = "";
};

const Command kCommands[] = {
    {"run", RunCommand, kRunHelp, kRunStatus},
    {"grid", GridCommand, kGridHelp, kGridStatus},
    {"check", CheckCommand, kCheckHelp, kCheckStatus},
    {"layout", LayoutCommand, kLayoutHelp},
    {"reference", ReferenceCommand, kReferenceHelp},
    {"demo", DemoCommand, kDemoHelp},
};

const Command* FindCommand(std::string_view name) {
    const auto found = std::ranges::find(kCommands, name, &Command::name);
    return found == std::end(kCommands) ? nullptr : found;
}

// What a usage error of `name` is followed by: the command's own usage
// line, or every command's when there is no such command.
std::string UsageAfterError(std::string_view name) {
    const Command* command = FindCommand(name);
    if (!command) return kUsage;
    const std::string_view help = command->help;
    return std::string(help.substr(0, help.find('\n') + 1)) + "       tessel " + std::string(name) + " --help\n";
}

int Dispatch(const std::string& name, const std::vector<std::string>& words) {
    if (name == "--help" || name == "-h" || name == "help") {
        std::cout << kHelp << '\n' << kUsage;
        return kOk;
    }
    if (name == "--version") {
        std::cout << "tessel " TESSEL_VERSION "\n";
        return kOk;
    }
    std::vector<std::string_view> names{"--version", "--help"};
    for (const Command& command : kCommands) {
        names.push_back(command.name);
        if (command.name != name) continue;
        if (WantsHelp(words)) {
            const bool encoded = name == "run" || name == "grid" || name == "check";
            std::cout << command.help << (encoded ? kEncodingHelp : "") << command.status;
            return kOk;
        }
        return command.run(words);
    }
    throw UsageError("unknown command " + name + DidYouMean(Nearest(name, names)));
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
        return Dispatch(command, words);
    } catch (const UsageError& error) {
        PrintError("tessel" + (FindCommand(command) ? " " + command : std::string()) + ": " + error.what());
        std::cerr << UsageAfterError(command);
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
