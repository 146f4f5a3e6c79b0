// Input a user hands tessel by mistake or on purpose ends the run with
// FILE:LINE: message and status 2, never an abort, a hang or gigabytes of
// memory; a byte-order mark is read as the user meant.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "TesselRunner.h"
#include "standins/TableFiles.h"
#include "standins/Utf8.h"
#include "tools/Session.h"
#include "tools/SessionParser.h"

namespace tools_testing {
namespace {

using namespace std::string_literals;
using BadInput = testing_support::LeakCheckedTest;

const std::string kHeader = "version 310\nattach\n";

// Files a session on line 3 refuses, each ending the run there.
TEST(BadFile, EndsTheRunAtItsStepWithAMessage) {
    struct Case {
        const char* what;
        const char* file;
        std::string bytes;
        std::string step;
        std::string error;  // after "s.session:3: "
        void (*make)(const std::filesystem::path&) = nullptr;  // makes the file instead of the bytes
    };
    const std::string cellLimit = " columns is more than the 4194304 cells a cell table may have";
    const Case cases[] = {
        {"a missing file", "missing.txt", "", "set Perspectives missing.txt",
         "missing.txt: cannot read: No such file or directory"},
        {"a chunk file of part records", "bad.bin", std::string(1000, 'x'), "set Blob bad.bin",
         "bad.bin: 1000 bytes is not a whole number of 1026-byte records"},
        {"a bad typed cell on line 2", "bad.tsv", "K\t\\i4 1\nK\tx\t\\i4 12x\n", "set MeasureData bad.tsv",
         "bad.tsv:2: cell 3: \\i4 needs a 32-bit decimal"},
        {"more cells than declared", "bad.tsv", "\\columns 1\nK\tx\n", "set MeasureData bad.tsv",
         "bad.tsv:2: 2 cells, more than the 1 columns declared"},
        {"declared columns of a chart grid", "g.tsv", "\\columns 134217728\nK\n", "chart grid 4 g.tsv",
         "g.tsv: 1 rows of 134217728" + cellLimit},
        {"rows times widest row", "w.tsv", std::string(5000, '\n') + std::string(1000, '\t'), "set MeasureData w.tsv",
         "w.tsv: 5001 rows of 1001" + cellLimit},
        {"a device as chart bytes", "/dev/zero", "", "chart bytes 4 /dev/zero",
         "/dev/zero: is not a regular file (a device, a pipe or a socket); only files are read"},
        {"a folder", "/", "", "set Perspectives /", "/: is a folder, not a file"},
        {"lone CR after CR LF lines", "c.tsv", "\\columns 2\r\nK\tx\r\nL\ty\rM\n", "set MeasureData c.tsv",
         "c.tsv:3: "s + std::string(standins::kLoneCr)},
        {"CR line endings in a record table", "p.txt", "P1\rP2\r", "set Perspectives p.txt",
         "p.txt:1: "s + std::string(standins::kLoneCr)},
        {"byte-order mark in a record table", "p.txt", "\xEF\xBB\xBFP1\n", "set Perspectives p.txt",
         "p.txt: starts with a UTF-8 byte-order mark; records are single-byte text (Windows-1252)"},
        // A pipe without a writer would block a plain open forever.
        {"a pipe", "pipe.txt", "", "set Perspectives pipe.txt",
         "pipe.txt: is not a regular file (a device, a pipe or a socket); only files are read",
         [](const std::filesystem::path& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }},
        // Refused by the size the file system reports; sparse, so it costs no disk.
        {"a file over the size limit", "big.txt", "", "set Perspectives big.txt",
         "big.txt: 268435457 bytes is more than the 268435456 a file may have",
         [](const std::filesystem::path& file) {
             std::ofstream{file};
             std::filesystem::resize_file(file, standins::kMaxFileBytes + 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TesselFolder folder;
        if (!c.bytes.empty()) folder.Write(c.file, c.bytes);
        if (c.make) c.make(folder.Path() / c.file);
        const Ran ran = folder.RunSession(kHeader + c.step + "\nset PresentationMode 1\n");
        EXPECT_EQ(ran.status, 2);
        EXPECT_EQ(ran.err, "s.session:3: " + c.error + "\n");
        // the version, the system font (three calls) and the attach
        EXPECT_EQ(folder.TraceLines().size(), 5u) << "the steps before it ran, none after";
    }
}

// Mistakes in the session file itself, and saves over a file the session
// reads: the session is refused with its line and no step runs.
TEST(BadSession, IsRefusedWithItsLineBeforeAnyStepRuns) {
    const std::string longWord(1'000'000, 'x');
    const std::string steps = " (steps: env, version, attach, webgui, set, get, call, chart, dialog)";
    const std::string lend = "version 310\nattach\nset Objectives o.txt\nset Objectives lent.txt flag=0\n";
    const std::string elsewhere = "; save it under another name, or with --out DIR elsewhere";
    const std::pair<std::string, std::string> cases[] = {
        // session, error after "s.session:"
        {"version 310\nfrobnicate\n", "2: unknown step 'frobnicate'" + steps},
        {"version 310\nattach\nset perspectives p.txt\n", "3: no member 'perspectives' (did you mean Perspectives?)"},
        {"get Objektives\n", "1: no member 'Objektives' (did you mean Objectives?)"},
        {"atach\n", "1: unknown step 'atach' (did you mean attach?)"},
        {"set SetVersion 3\n", "1: SetVersion is a method: call SetVersion"},
        {"call Perspectives\n", "1: Perspectives is a property: set or get it"},
        {"version 70000\n", "1: '70000' is not a 16-bit number"},
        {"call SetVersion 40000\n", "1: '40000' is not a 16-bit number"},
        {"call DisableContextMenu\n", "1: DisableContextMenu takes one argument, a 32-bit number"},
        {"call SetUseWEBGui 1\n", "1: '1' is not on or off"},
        {"call HandleTesselCtrl me\n", "1: 'me' is not chart or null"},
        {"call AddTemplate 1\n", "1: AddTemplate takes no argument"},
        {"call SaveAsJPeg \"open\n", "1: a quoted word has no closing quote"},
        {"call SaveAsJPeg \"a\\tb\"\n", "1: inside quotes only \\\" and \\\\ are escapes"},
        {"get PresentationMode out.txt\n", "1: PresentationMode returns no table to save"},
        {"set Perspectives p.txt flag=x\n", "1: 'x' is not a 32-bit number"},
        {"chart fail 3 0x00000001\n", "1: 0x00000001 is a success code; a failure has the top bit set"},
        {"chart fail 3 80004005\n", "1: the failure code is 0x and up to 8 hexadecimal digits, not '80004005'"},
        {"version 310\nenv none\n", "2: env must come before the control is created (line 1 creates it)"},
        {"env defualt\n", "1: env is default, none or noscheme, not 'defualt' (did you mean default?)"},
        {"chart fial 3 0x80004005\n", "1: chart fial is unknown (did you mean fail?)"},
        {kHeader + "set Perspectives \"a\0.txt\"\n"s, "3: a file name cannot hold a NUL character"},
        {kHeader + "get Objectives o\0.txt\n"s, "3: a file name cannot hold a NUL character"},
        {"version 310\rattach\r", "1: "s + std::string(standins::kLoneCr)},
        {kHeader + longWord + "\n", "3: unknown step '" + std::string(63, 'x') + "... (1000002 bytes)" + steps},
        {lend + "get Objectives o.txt\n", "5: get Objectives would overwrite o.txt, which line 3 reads" + elsewhere},
        {lend + "get Objectives ./s.session\n", "5: get Objectives would overwrite ./s.session, the session itself" + elsewhere},
        {lend + "dialog o.txt\n", "5: dialog would overwrite o.txt, which line 3 reads" + elsewhere},
    };
    TesselFolder folder;
    folder.Write("a", "P1\n");  // what a name cut at its NUL would read
    for (const auto& [session, error] : cases) {
        SCOPED_TRACE(session.substr(0, 80));
        const Ran ran = folder.RunSession(session);
        EXPECT_EQ(ran.status, 2);
        EXPECT_EQ(ran.err, "s.session:" + error + "\n");
        EXPECT_EQ(ran.out, "");
        EXPECT_FALSE(folder.Exists("t.jsonl")) << "no step ran";
        std::filesystem::remove(folder.Path() / "t.jsonl");  // a case that ran blames only itself
    }
}

// A byte-order mark is read as the start of the text, in a session and in a
// cell table alike: it is no part of the first step, directive or cell.
TEST(BadSession, AByteOrderMarkIsReadAsTheStartOfTheText) {
    TesselFolder folder;
    folder.Write("m.tsv", "\xEF\xBB\xBF\\columns 2\nK\t\\i4 7\n");
    folder.Write("n.tsv", "\xEF\xBB\xBFK\tx\ty\n");
    const Ran ran = folder.RunSession("\xEF\xBB\xBFversion 310\nattach\nset MeasureData m.tsv\nset MeasureData n.tsv\n");
    EXPECT_EQ(ran.status, 0) << ran.err;
    const std::vector<std::string> trace = folder.TraceLines();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0], R"({"host":"call","member":"SetVersion","ok":true})");
    EXPECT_NE(trace[trace.size() - 2].find(R"({"chart":"put","dispid":37,"args":[{"vt":"BSTR","v":"K"},)"),
              std::string::npos) << trace[trace.size() - 2];
}

// A sink stands for everything a step runs: whatever it raises ends the run
// as a SessionError with the step's line, not as an escaping exception.
class RaisingSink : public tessel::StepSink {
public:
    explicit RaisingSink(std::exception_ptr raised) : raised_(std::move(raised)) {}
    void ReportCall(const standins::ChartCall&) override {}
    void Report(const tessel::StepRecord&) override { std::rethrow_exception(raised_); }
    void Warn(long, const std::string&) override {}
    void Finish(long, long) override {}
    std::exception_ptr raised_;
};

TEST_F(BadInput, AnyExceptionFromAStepBecomesTheStepsError) {
    const std::pair<std::exception_ptr, const char*> cases[] = {
        {std::make_exception_ptr(std::bad_alloc()), "out of memory"},
        {std::make_exception_ptr(std::length_error("vector too long")), "vector too long"}};
    for (const auto& [raised, message] : cases) {
        RaisingSink sink(raised);
        const std::vector<tessel::Step> steps = tessel::SessionParser::Parse("\n\nversion 310\n");
        try {
            tessel::Session session({".", "."}, {&sink});
            session.Run(steps);
            ADD_FAILURE() << "the run went on";
        } catch (const tessel::SessionError& error) {
            EXPECT_EQ(error.Line(), 3);
            EXPECT_EQ(std::string(error.what()), message);
        }
    }
}

TEST_F(BadInput, LongWordsAreCutAtACharacterBoundary) {
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"x\tabcdefghij\n", 4, "x\tabcd... (10 bytes)\n"},
        // "é" is two bytes; the cut after byte 4 would split the second one.
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 3, "\xC3\xA9... (6 bytes)"},
        {"", 4, ""},
    };
    for (const auto& [message, longest, shown] : cases)
        EXPECT_EQ(standins::ShortenLongWords(message, longest), shown) << message;
}

}  // namespace
}  // namespace tools_testing
