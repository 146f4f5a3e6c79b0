// What tessel tells a host developer about tables and its command line, and
// the reference it generates.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>

#include "TesselRunner.h"

namespace tools_testing {
namespace {

using namespace std::string_literals;

// Which rows a layout has is the reference's to show (Reference, below); here
// each kind of row, as its JSON line.
TEST(Layout, JsonHasALineForEachFieldCellConstantAndGuard) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"layout", "Objectives", "--json"},
         {R"({"layout":"fill","offset":35,"width":1,"use":"flag","column":[8],"bit":2})",
          R"({"layout":"fill","offset":38,"width":60,"use":"text","column":[2,3]})",
          R"({"layout":"write","offset":33,"width":1,"use":"blank","column":[]})",
          R"({"layout":"write","offset":36,"width":1,"use":"flag","column":[7],"bit":4})"}},
        {{"layout", "Perspectives", "--version", "20", "--json"},
         {R"({"layout":"fill","offset":0,"width":2,"use":"row","column":[]})",
          R"({"layout":"fill","use":"constant","column":[4],"vt":"I2","value":99})"}},
        {{"layout", "MeasureData", "--json"}, {R"({"layout":"fill","cell":4,"use":"rest","column":[2]})"}},
        {{"layout", "LinksFromBlob", "--json"},
         {R"({"layout":"write","offset":51,"use":"guard","column":[11],"text":"2"})"}},
    };
    for (const auto& [args, lines] : cases) {
        const std::vector<std::string> printed = SplitLines(TesselFolder().Tessel(args).out);
        for (const std::string& line : lines) EXPECT_NE(std::ranges::find(printed, line), printed.end()) << line;
    }
}

TEST(Check, FindsEachMistakeInItsOwnFileAndTheBundledExamplesAreClean) {
    const std::string good = Perspective(" 1", "FIN", "Finance");
    // The good record with `count` bytes from `at` replaced.
    const auto with = [&](std::size_t at, std::string_view bytes, std::size_t count = std::string::npos) {
        return good.substr(0, at) + std::string(bytes) + good.substr(at + std::min(count, bytes.size()));
    };
    struct Case {
        const char* property;
        const char* file;
        std::string bytes;
        std::string finding;  // after "FILE:"
        std::vector<std::string> options = {};
    };
    const Case cases[] = {
        {"Perspectives", "p.txt", good.substr(0, 99), "1:100: record: has 99 bytes; the layout has 139; the control reads the rest as blanks"},
        {"Perspectives", "p.txt", good + "ZZ", "1:140: record: has 141 bytes; the layout has 139; the control ignores the bytes after 139"},
        {"Perspectives", "p.txt", with(129, "4x"), "1:130: 16-bit number (129, 10): '4x00000042' is not a number; the control reads 4"},
        {"Perspectives", "p.txt", with(129, "70000     "), "1:130: 16-bit number (129, 10): 70000 does not fit 16 bits; the control reads 4464"},
        {"Perspectives", "p.txt", with(118, "x"), "1:119: marker (118, 1): 'x' is neither X nor blank; the control reads it as not set"},
        {"Perspectives", "p.txt", with(2, "   "), "1:3: key (2, 10): is blank; every record needs its key"},
        {"Perspectives", "p.txt", with(0, " 2"),
         "1:1: sequence number (0, 2): 2 is outside the table's 1 records; the control reads 2, which names no row: the set fails"},
        {"Perspectives", "p.txt", with(12, "\x81"), "1:13: text (12, 60): byte 0x81 is no character of code page 1252; the control makes it U+0081"},
        {"Perspectives", "p.txt", with(12, "Caf\xC3\xA9"),
         "1:1: file: is UTF-8 with characters of more than one byte; the control reads each byte as a character of code page 1252: use --encoding utf-8"},
        {"Perspectives", "p.txt", with(12, "\xC5\x82", 1), "1:13: text (12, 60): '\xC5\x82' (U+0142) is not in code page 1252; it reads as '?'", {"--encoding", "utf-8"}},
        {"Perspectives", "p.tsv", "K\t1\n", "1:1: table: Perspectives reads records, not a cell table (.tsv); the control finds no table it can read and sends nothing"},
        {"MeasureData", "m.txt", good, "1:1: table: MeasureData reads a cell table (.tsv), not records; the control finds no table it can read and sends nothing"},
        {"MeasureData", "m.tsv", "\\columns 3\nK\tabc\tM\n", "2:2: cell 2: 'abc' is not a number; the set fails", {"--version", "30"}},
        {"Blob", "b.bin", std::string(2, '\x01') + "\xFF\x03" + std::string(1022, '\0'),
         "1:3: length (2, 2): is 1023; the last chunk carries 0 to 1021; the control refuses the table and sends nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.finding);
        TesselFolder folder;
        folder.Write(c.file, c.bytes + (std::string_view(c.file).ends_with(".txt") ? "\n" : ""));
        std::vector<std::string> args{"check", c.property, c.file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Ran ran = folder.Tessel(args);
        EXPECT_EQ(ran.status, 1) << ran.err;
        EXPECT_EQ(ran.out, c.file + ":"s + c.finding + "\n");
    }

    std::ifstream session(TESSEL_EXAMPLES_DIR "/scorecard.session");
    std::size_t checked = 0;
    const std::regex set(R"(^set (\w+) ([\w.-]+)\s*(#.*)?$)");
    for (std::string line; std::getline(session, line);) {
        std::smatch m;
        if (!std::regex_match(line, m, set) || m[2].str().find('.') == std::string::npos || m[2] == "lent-table.txt" ||
            m[2].str().find("-back") != std::string::npos)
            continue;
        const Ran ran = TesselFolder().Tessel({"check", m[1], TESSEL_EXAMPLES_DIR "/"s + m[2].str()});
        EXPECT_EQ(ran.status, 0) << line << "\n" << ran.out << ran.err;
        ++checked;
    }
    EXPECT_GT(checked, 25u);
}

TEST(Encoding, ARecordInCp1252AndInUtf8GiveTheSameGridAndSavedTablesConvertBack) {
    TesselFolder folder;
    const std::string cp1252 = Perspective(" 1", "FIN", "Caf\xE9 \x80") + "\n";
    folder.Write("cp1252.txt", cp1252);
    std::string utf8 = cp1252;  // the same characters, as UTF-8
    utf8.replace(utf8.find('\xE9'), 1, "\xC3\xA9");
    utf8.replace(utf8.find('\x80'), 1, "\xE2\x82\xAC");
    folder.Write("utf8.txt", utf8);
    const Ran bytes = folder.Tessel({"grid", "Perspectives", "cp1252.txt"});
    const Ran converted = folder.Tessel({"grid", "Perspectives", "utf8.txt", "--encoding=utf-8"});
    EXPECT_EQ(converted.out, bytes.out);
    EXPECT_EQ(converted.err, "");
    EXPECT_TRUE(folder.Tessel({"grid", "Perspectives", "utf8.txt"}).err.starts_with("warning: utf8.txt:1: the records are UTF-8"));

    // Written back in UTF-8, a NUL after each text cut short, and read in again.
    folder.Write("lent.txt", "");
    folder.Write("o.txt", Record({{10, "OBJ01"}, {28, ""}, {60, "Cost (\xE2\x82\xAC)"}}) + "\n");
    const Ran round = folder.RunSession("version 310\nattach\nset Objectives o.txt\nset Objectives lent.txt flag=0\n"
                                        "get Objectives back.txt\nset Objectives back.txt\n",
                                        {"--encoding", "utf-8"});
    ASSERT_EQ(round.status, 0) << round.err;
    EXPECT_NE(folder.Read("back.txt").find("Cost (\xE2\x82\xAC)\0"s), std::string::npos);
    EXPECT_NE(folder.TraceLines().back().find(R"({"host":"set","member":"Objectives","ok":true})"), std::string::npos);
}

TEST(Conventions, HoldForEveryCommand) {
    TesselFolder folder;
    folder.Write("s.session", "version 310\n");
    EXPECT_EQ(folder.Tessel({"--version"}).out, "tessel " TESSEL_PROJECT_VERSION "\n");
    folder.Write("m.tsv", "\\columns 134217728\nK\n");
    const std::string usage = "usage: tessel run SESSION [--trace FILE] [--out DIR] [--picture FILE] [--encoding utf-8] [--strict]";
    const std::pair<std::vector<std::string>, std::string> mistakes[] = {
        // the command line, the first line of the error
        {{}, usage},
        {{"bake"}, "tessel: unknown command bake"},
        {{"rnu", "s.session"}, "tessel: unknown command rnu (did you mean run?)"},
        {{"--versoin"}, "tessel: unknown command --versoin (did you mean --version?)"},
        {{"run", "s.session", "--trace"}, "tessel run: --trace needs a value"},
        {{"run", "s.session", "--trace", "s.session"}, "tessel run: --trace s.session is the session itself"},
        {{"run", "nothere.session"}, "nothere.session: cannot read: No such file or directory"},
        {{"run", "s.session", "--picture", "nowhere/p.png"},
         "tessel run: --picture nowhere/p.png: there is no folder nowhere"},
        {{"demo", "--out", "s.session"}, "tessel: s.session is not a folder"},
        {{"demo", "--out", "missing/demo"}, "tessel: cannot create missing/demo: No such file or directory"},
        {{"layout", "Perspektives"},
         "tessel layout: Perspektives is not a table property (did you mean Perspectives?)"},
        {{"check", "Perspectives", "p.txt", "--versoin=30"},
         "tessel check: unknown option --versoin (did you mean --version?)"},
        {{"check", "Perspectives", "/"}, "/: is a folder, not a file"},
        {{"layout", "Perspectives", "--version", "x"},
         "tessel layout: --version takes a 16-bit number such as 310, 30 or 20, not x"},
        {{"grid", "Perspectives", "p.txt", "--encoding", "utf8"},
         "tessel grid: --encoding is cp1252 or utf-8, not utf8 (did you mean utf-8?)"},
        {{"grid", "PresentationMode", "p.txt"}, "tessel grid: PresentationMode is not a table property"},
        // the grid command refuses what a session refuses
        {{"grid", "MeasureData", "m.tsv"},
         "m.tsv: 1 rows of 134217728 columns is more than the 4194304 cells a cell table may have"},
    };
    for (const auto& [args, error] : mistakes) {
        const Ran ran = folder.Tessel(args);
        EXPECT_EQ(ran.status, 2) << error;
        EXPECT_EQ(SplitLines(ran.err).at(0), error);
        EXPECT_EQ(ran.out, "") << error;
    }
    EXPECT_FALSE(folder.Exists("missing"));

    // A session from standard input, its trace to standard output with
    // --opt=value; a failed set names the record; a wrong form warns.
    folder.Write("p.txt", Perspective(" 1", "FIN", "Finance") + "\n" + Perspective("FI", "CUS", "Customer") + "\n");
    const std::string session = "version 310\nattach\nset Perspectives p.txt\nset MeasureData p.txt\n";
    const Ran traced = folder.Tessel({"run", "-", "--trace=-"}, session);
    EXPECT_EQ(traced.status, 0);
    EXPECT_EQ(SplitLines(traced.out).size(), 7u);
    const Ran summary = folder.Tessel({"run", "-"}, session);
    EXPECT_EQ(SplitLines(summary.out).at(2),
              "3: set Perspectives: FAILED 0x8002000B Invalid index (p.txt:2: sequence number 'FI' is not a number); "
              "chart: nothing");
    EXPECT_EQ(SplitLines(summary.out).at(3),
              "4: warning: MeasureData reads a cell table (.tsv), but p.txt is a record table: the adapter finds no "
              "table it can read and sends nothing");
}

TEST(Reference, TheOneInTheTreeIsWhatTesselReferencePrints) {
    const std::string inTree = standins::ReadFileBytes(TESSEL_SOURCE_DIR "/docs/reference.md", "docs/reference.md");
    EXPECT_EQ(TesselFolder().Tessel({"reference"}).out, inTree)
        << "docs/reference.md is out of date: run tessel reference > docs/reference.md";
}

}  // namespace
}  // namespace tools_testing
