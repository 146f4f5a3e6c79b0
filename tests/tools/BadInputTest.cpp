// Input a user can hand tessel by mistake or on purpose: whatever it is, the
// run ends with FILE:LINE: message and status 2, never with an abort, a hang
// or gigabytes of memory; and what is merely unusual (a byte-order mark) is
// read as the user meant.
#include <gtest/gtest.h>

#include <sys/stat.h>

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
        {"a bad typed cell in a chart grid", "grid.tsv", "\\r8 nan\n", "chart grid 4 grid.tsv",
         "grid.tsv:1: cell 1: \\r8 needs a finite number"},
        {"declared columns of a chart grid", "g.tsv", "\\columns 134217728\nK\n", "chart grid 4 g.tsv",
         "g.tsv: 1 rows of 134217728" + cellLimit},
        {"declared columns of a cell table", "m.tsv", "\\columns 2147483647\nK\n", "set MeasureData m.tsv",
         "m.tsv: 1 rows of 2147483647" + cellLimit},
        {"rows times widest row", "w.tsv", std::string(5000, '\n') + std::string(1000, '\t'), "set MeasureData w.tsv",
         "w.tsv: 5001 rows of 1001" + cellLimit},
        {"a device", "/dev/zero", "", "set Perspectives /dev/zero",
         "/dev/zero: is not a regular file (a device, a pipe or a socket); only files are read"},
        {"a device as chart bytes", "/dev/zero", "", "chart bytes 4 /dev/zero",
         "/dev/zero: is not a regular file (a device, a pipe or a socket); only files are read"},
        {"a folder", "/", "", "set Perspectives /", "/: is a folder, not a file"},
        {"lone CR in a cell table", "c.tsv", "K\tx\rL\ty\r", "set MeasureData c.tsv",
         "c.tsv:1: "s + std::string(standins::kLoneCr)},
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
        // Refused from the size the file system reports, before a byte is
        // read; the file is sparse, so the test costs no disk.
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

TEST(BadFile, TheGridCommandRefusesWhatASessionRefuses) {
    TesselFolder folder;
    folder.Write("m.tsv", "\\columns 134217728\nK\n");
    const Ran ran = folder.Tessel({"grid", "MeasureData", "m.tsv"});
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, "m.tsv: 1 rows of 134217728 columns is more than the 4194304 cells a cell table may have\n");
    EXPECT_EQ(ran.out, "");
}

// Mistakes in the session file itself: nothing runs.
TEST(BadSession, IsRefusedWithItsLineBeforeAnyStepRuns) {
    struct Case {
        const char* what;
        std::string session;
        std::string error;
    };
    const std::string longWord(1'000'000, 'x');
    const Case cases[] = {
        {"NUL in a file name", kHeader + "set Perspectives \"a\0.txt\"\n"s,
         "s.session:3: a file name cannot hold a NUL character"},
        {"NUL in a saved file's name", kHeader + "get Objectives o\0.txt\n"s,
         "s.session:3: a file name cannot hold a NUL character"},
        {"lone CR line endings", "version 310\rattach\r", "s.session:1: "s + std::string(standins::kLoneCr)},
        {"a megabyte-long step name", kHeader + longWord + "\n",
         "s.session:3: unknown step '" + std::string(63, 'x') + "... (1000002 bytes) (steps: env, version, attach, "
         "webgui, set, get, call, chart, dialog)"},
        {"a megabyte-long number", kHeader + "version " + longWord + "\n",
         "s.session:3: '" + std::string(63, 'x') + "... (1000002 bytes) is not a 16-bit number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TesselFolder folder;
        folder.Write("a", "P1\n");
        const Ran ran = folder.RunSession(c.session);
        EXPECT_EQ(ran.status, 2);
        EXPECT_EQ(ran.err, c.error + "\n");
        EXPECT_FALSE(folder.Exists("t.jsonl")) << "no step ran";
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
    explicit RaisingSink(int what) : what_(what) {}
    void ReportCall(const standins::ChartCall&) override {}
    void Report(const tessel::StepRecord&) override {
        if (what_ == 0) throw std::bad_alloc();
        throw std::length_error("vector too long");
    }
    void Warn(long, const std::string&) override {}
    void Finish(long, long) override {}

private:
    int what_;
};

TEST_F(BadInput, AnyExceptionFromAStepBecomesTheStepsError) {
    const std::pair<int, const char*> cases[] = {{0, "out of memory"}, {1, "vector too long"}};
    for (const auto& [what, message] : cases) {
        RaisingSink sink(what);
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
        {"short words stay", 8, "short words stay"},
        {"abcdefghij end", 8, "abcdefgh... (10 bytes) end"},
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
