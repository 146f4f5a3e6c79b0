// The pieces of the command-line host with a contract of their own: session
// words, variants as JSON and grid cells, and host table files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "TesselRunner.h"
#include "platform/OleSafeArray.h"
#include "standins/TableFiles.h"
#include "tools/GridPrinter.h"
#include "tools/SessionParser.h"
#include "standins/VariantJson.h"

namespace tools_testing {
namespace {

typedef testing_support::LeakCheckedTest CellShape, CellTyping, RecordFiles, SessionWords, SingleValue, VariantJson;

using tessel::SessionParser;
using tessel::Step;

TEST_F(SessionWords, QuotesEscapesAndCommentsSplitWords) {
    const std::pair<const char*, std::u16string> cases[] = {
        {"call SaveAsJPeg Title", u"Title"}, {"call SaveAsJPeg \"two words\"  # a comment", u"two words"},
        {"call SaveAsJPeg \"say \\\"hi\\\" \\\\ # not a comment\"", u"say \"hi\" \\ # not a comment"},
        {"call SaveAsJPeg a#b", u"a#b"}, {"\tcall\tSaveAsJPeg\t\"\"", u""}, {"call SaveAsJPeg \"\xE2\x82\xAC\"", u"\u20ac"},
    };
    for (const auto& [line, title] : cases) {
        const std::vector<Step> steps = SessionParser::Parse(line);
        ASSERT_EQ(steps.size(), 1u) << line;
        ASSERT_TRUE(steps[0].argument) << line;
        EXPECT_EQ(std::u16string(steps[0].argument->text.begin(), steps[0].argument->text.end()), title) << line;
    }
}

TEST_F(SessionWords, BlankLinesAndCommentsKeepLineNumbersAndQuotedKeywordsAreWords) {
    const std::vector<Step> steps = SessionParser::Parse(
        "# head\n\n   \nversion 30\r\n  # indented\nattach null\nset Perspectives \"null\"\nset Perspectives null\n");
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].line, 4);
    EXPECT_EQ(steps[1].line, 6);
    EXPECT_EQ(steps[2].value, Step::Value::File);
    EXPECT_EQ(steps[2].file, "null");
    EXPECT_EQ(steps[3].value, Step::Value::Null);
}

// Arguments that do not fit are refused with their texts (BadSession).
TEST_F(SessionWords, MethodArgumentsTakeTheParameterType) {
    const std::tuple<const char*, VARTYPE, LONG> cases[] = {
        {"call DisableContextMenu -1", VT_I4, -1}, {"call SetVersion -32768", VT_I2, -32768}, {"version 310", VT_I2, 310},
        {"call SetUseWEBGui on", VT_BOOL, 1}, {"webgui off", VT_BOOL, 0},
    };
    for (const auto& [line, type, number] : cases) {
        const Step step = SessionParser::Parse(line).at(0);
        EXPECT_EQ(step.argument->type, type) << line;
        EXPECT_EQ(step.argument->number, number) << line;
    }
}

std::string Json(const VARIANT& value, bool byReference = false) {
    tessel::TextOutput text("/dev/null");  // read back from the buffer before it is flushed
    standins::AppendJsonVariant(text, value, byReference);
    return text.Buffer();
}

TEST_F(VariantJson, RealsReadBackExactly) {
    for (double value : {0.1, 1.0 / 3, -2.5e-308, 4.9406564584124654e-324, 1.7976931348623157e308, -0.0, 123456789.0}) {
        const std::string json = Json(COleVariant(value));
        ASSERT_TRUE(json.starts_with(R"({"vt":"R8","v":)")) << json;
        const double back = std::strtod(json.substr(15, json.size() - 16).c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << json;
    }
}

// A grid with rows is checked end to end (Trace).
TEST_F(SingleValue, ReadsAsJsonAndAsAGridCell) {
    const OLECHAR text[] = {u'a', 0, u'\t', u'"', u'\\', 0x1B, 0x7F, 0xE9}, lone[] = {u'a', 0xD800, u'\n'};
    using testing_support::ByteArray, testing_support::Grid, testing_support::Null;
    const std::tuple<COleVariant, const char*, const char*> cases[] = {
        {COleVariant(text, 8), R"({"vt":"BSTR","v":"a\u0000\t\"\\\u001b)" "\x7F\xC3\xA9\"}",
         "\"a\\0\\t\\\"\\\\\\x1b\\x7f\xC3\xA9\""},
        {COleVariant(lone, 3), R"({"vt":"BSTR","v":"a\ud800\n"})", "\"a\xEF\xBF\xBD\\n\""},  // kept / U+FFFD
        {COleVariant(), R"({"vt":"EMPTY"})", ""},
        {COleVariant(OLESTR(""), 0), R"({"vt":"BSTR","v":""})", "\"\""},
        {COleVariant(SHORT{0}, VT_BOOL), R"({"vt":"BOOL","v":false})", "false"},
        {COleVariant(SHORT{1}, VT_BOOL), R"({"vt":"BOOL","v":true})", "true"},
        {COleVariant(2.5), R"({"vt":"R8","v":2.5})", "2.5"},
        {Null(), R"({"vt":"NULL"})", "null"},
        {COleVariant(ByteArray({"\0\xAB\xFF", 3})), R"({"vt":"ARRAY|UI1","lbound":[0],"dims":[3],"hex":"00abff"})",
         "3 bytes"},
        {COleVariant(Grid({}, 3)), R"({"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[0,3],"v":[]})", "0x3 grid"},
    };
    for (const auto& [value, json, cell] : cases) {
        std::string shown;
        tessel::GridPrinter::Render(value, shown);
        EXPECT_EQ(Json(value), json);
        EXPECT_EQ(shown, cell) << json;
    }
}

// Loads a cell file with the given bytes; the error text when it is refused.
std::string LoadGrid(std::string_view bytes, COleSafeArray& grid) {
    TesselFolder folder;
    folder.Write("g.tsv", bytes);
    try {
        standins::LoadCellGrid(folder.Path() / "g.tsv", "g.tsv", grid);
    } catch (const standins::TableFileError& e) {
        return e.what();
    }
    return "";
}

TEST_F(CellTyping, GivesTheVariantTheCellSpellsOrRefusesAMisspeltOne) {
    const std::pair<const char*, const char*> cases[] = {
        {"", R"({"vt":"EMPTY"})"}, {"\\s", R"({"vt":"BSTR","v":""})"},
        {"plain text", R"({"vt":"BSTR","v":"plain text"})"}, {"\xC3\xA9t\xC3\xA9", "{\"vt\":\"BSTR\",\"v\":\"\xC3\xA9t\xC3\xA9\"}"},
        {"\\i4 -2147483648", R"({"vt":"I4","v":-2147483648})"}, {"\\i2 32767", R"({"vt":"I2","v":32767})"},
        {"\\bool 1", R"({"vt":"BOOL","v":true})"}, {"\\bool 0", R"({"vt":"BOOL","v":false})"},
        {"\\r8 0.1", R"({"vt":"R8","v":0.1})"}, {"\\r8 -1e300", R"({"vt":"R8","v":-1e+300})"},
        {"\\null", R"({"vt":"NULL"})"}, {"\\\\i4 7", R"({"vt":"BSTR","v":"\\i4 7"})"},
        {"\\other", R"({"vt":"BSTR","v":"\\other"})"}, {"\\i4x", R"({"vt":"BSTR","v":"\\i4x"})"},
        {"\\i4 2147483648", "\\i4 needs a 32-bit decimal"}, {"\\i4 12x", "\\i4 needs a 32-bit decimal"},
        {"\\i4", "\\i4 needs a 32-bit decimal"},            {"\\i2 40000", "\\i2 needs a 16-bit decimal"},
        {"\\bool 2", "\\bool needs 1 or 0"},                {"\\bool", "\\bool needs 1 or 0"},
        {"\\r8 inf", "\\r8 needs a finite number"},         {"\\r8 1e999", "\\r8 needs a finite number"},
        {"\\r8 ", "\\r8 needs a finite number"},            {"\\s x", "\\s stands alone"},
        {"\\null 0", "\\null stands alone"},                {"\xC3(", "text is not UTF-8"},
    };
    for (const auto& [text, expected] : cases) {
        COleSafeArray grid;
        const std::string error = LoadGrid(std::string("first\t") + text + "\n", grid);
        if (expected[0] != '{') {
            EXPECT_EQ(error, std::string("g.tsv:1: cell 2: ") + expected);
            continue;
        }
        ASSERT_EQ(error, "") << text;
        LONG index[2] = {0, 1};
        COleVariant cell;
        grid.GetElement(index, &cell);
        EXPECT_EQ(Json(cell), expected) << text;
    }
}

TEST_F(CellShape, ComesFromTheWidestRowOrTheDeclaredCount) {
    const std::tuple<const char*, LONG, LONG> cases[] = {
        {"", 0, 0}, {"a\tb\tc\nd\n", 2, 3}, {"a\r\nb\n\n", 3, 1}, {"\\columns 4\n", 0, 4}, {"\\columns 4\na\tb\n", 1, 4}};
    for (const auto& [file, rows, columns] : cases) {
        COleSafeArray grid;
        ASSERT_EQ(LoadGrid(file, grid), "");
        EXPECT_EQ(grid.GetCount(1), rows) << file;
        EXPECT_EQ(grid.GetCount(2), columns) << file;
    }
}

TEST_F(RecordFiles, EachLineIsARecord) {
    TesselFolder folder;
    folder.Write("r.txt", std::string("ab \r\n\ncd\xE9") + '\0' + "x\n");
    const ComPtr<standins::HostRecordTable> table = standins::LoadRecordTable(folder.Path() / "r.txt", "r.txt");
    ASSERT_EQ(table->RowCount(), 3u);
    EXPECT_EQ(table->Row(1), "ab ");
    EXPECT_EQ(table->Row(2), "");
    EXPECT_EQ(table->Row(3), std::string("cd\xE9") + '\0' + "x");
    // Saving, and chunk files, are checked end to end (KeptTable).
}

}  // namespace
}  // namespace tools_testing
