// The parts of the command-line host that carry a contract of their own:
// how session words are split and typed, and how variants become JSON.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "platform/OleSafeArray.h"
#include "tools/GridPrinter.h"
#include "tools/SessionParser.h"
#include "tools/VariantJson.h"

namespace tools_testing {
namespace {

using tessel::SessionParser;
using tessel::Step;

// ---- Session words --------------------------------------------------------------------

TEST(SessionWords, QuotesEscapesAndCommentsSplitAsDocumented) {
    struct Case {
        const char* line;
        std::u16string title;  // the SaveAsJPeg argument
    } cases[] = {
        {"call SaveAsJPeg Title", u"Title"},
        {"call SaveAsJPeg \"two words\"  # a comment", u"two words"},
        {"call SaveAsJPeg \"say \\\"hi\\\" \\\\ # not a comment\"", u"say \"hi\" \\ # not a comment"},
        {"call SaveAsJPeg a#b", u"a#b"},
        {"\tcall\tSaveAsJPeg\t\"\"", u""},
        {"call SaveAsJPeg \"\xE2\x82\xAC\"", u"\u20ac"},
    };
    for (const Case& c : cases) {
        const std::vector<Step> steps = SessionParser::Parse(c.line);
        ASSERT_EQ(steps.size(), 1u) << c.line;
        ASSERT_TRUE(steps[0].argument) << c.line;
        EXPECT_EQ(std::u16string(steps[0].argument->text.begin(), steps[0].argument->text.end()), c.title) << c.line;
    }
}

TEST(SessionWords, BlankLinesAndCommentsAreNoStepsButKeepLineNumbers) {
    const std::vector<Step> steps = SessionParser::Parse("# head\n\n   \nversion 30\r\n  # indented\nattach null\n");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].line, 4);
    EXPECT_EQ(steps[1].line, 6);
    EXPECT_FALSE(steps[1].argument->chart);
}

TEST(SessionWords, QuotedKeywordsAreOrdinaryWords) {
    const std::vector<Step> steps = SessionParser::Parse("set Perspectives \"null\"\nset Perspectives null\n");
    EXPECT_EQ(steps[0].value, Step::Value::File);
    EXPECT_EQ(steps[0].file, "null");
    EXPECT_EQ(steps[1].value, Step::Value::Null);
}

TEST(SessionWords, MethodArgumentsTakeTheParameterType) {
    struct Case {
        const char* line;
        VARTYPE type;
        LONG number;
    } cases[] = {
        {"call DisableContextMenu -1", VT_I4, -1},
        {"call SetVersion -32768", VT_I2, -32768},
        {"call SetUseWEBGui on", VT_BOOL, 1},
        {"webgui off", VT_BOOL, 0},
        {"version 310", VT_I2, 310},
    };
    for (const Case& c : cases) {
        const Step step = SessionParser::Parse(c.line).at(0);
        EXPECT_EQ(step.argument->type, c.type) << c.line;
        EXPECT_EQ(step.argument->number, c.number) << c.line;
    }
    for (const char* bad : {"call SetUseWEBGui 1", "call SetVersion 40000", "call HandleTesselCtrl me", "call AddTemplate 1"})
        EXPECT_THROW(SessionParser::Parse(bad), tessel::SessionError) << bad;
}

// ---- Variants as JSON ---------------------------------------------------------------

std::string Json(const VARIANT& value, bool out = false) {
    char name[] = "/tmp/tessel-json-XXXXXX";
    const int fd = ::mkstemp(name);
    ::close(fd);
    {
        tessel::TextOutput text(name);
        tessel::AppendJsonVariant(text, value, out);
        text.Flush();
    }
    FILE* file = std::fopen(name, "rb");
    std::string json(1 << 12, '\0');
    json.resize(std::fread(json.data(), 1, json.size(), file));
    std::fclose(file);
    std::remove(name);
    return json;
}

TEST(VariantJson, RealsReadBackExactly) {
    for (double value : {0.1, 1.0 / 3, -2.5e-308, 4.9406564584124654e-324, 1.7976931348623157e308, -0.0, 123456789.0}) {
        const std::string json = Json(COleVariant(value));
        ASSERT_TRUE(json.starts_with(R"({"vt":"R8","v":)")) << json;
        const std::string number = json.substr(15, json.size() - 16);
        const double back = std::strtod(number.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << json;
    }
}

TEST(VariantJson, ArraysCarryBoundsShapeAndRowsOuter) {
    COleSafeArray grid;
    const DWORD shape[2] = {2, 1};
    grid.Create(VT_VARIANT, 2, shape);
    LONG second[2] = {1, 0};
    grid.PutElement(second, COleVariant(SHORT{7}, VT_I2));
    EXPECT_EQ(Json(grid), R"({"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[2,1],"v":[[{"vt":"EMPTY"}],[{"vt":"I2","v":7}]]})");

    COleSafeArray bytes;
    const unsigned char data[] = {0x00, 0xAB, 0xFF};
    bytes.CreateOneDim(VT_UI1, 3, data);
    EXPECT_EQ(Json(bytes), R"({"vt":"ARRAY|UI1","lbound":[0],"dims":[3],"hex":"00abff"})");

    COleSafeArray empty;
    const DWORD none[2] = {0, 3};
    empty.Create(VT_VARIANT, 2, none);
    EXPECT_EQ(Json(empty), R"({"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[0,3],"v":[]})");
}

TEST(VariantJson, SingleValuesAndOutArguments) {
    COleVariant null;
    null.vt = VT_NULL;
    COleVariant nothing(static_cast<IDispatch*>(nullptr));
    const OLECHAR lone[] = {u'a', 0xD800, u'\n'};
    EXPECT_EQ(Json(null), R"({"vt":"NULL"})");
    EXPECT_EQ(Json(nothing), R"({"vt":"DISPATCH","v":null})");
    EXPECT_EQ(Json(COleVariant(SHORT{1}, VT_BOOL)), R"({"vt":"BOOL","v":true})");
    EXPECT_EQ(Json(COleVariant(lone, 3)), R"({"vt":"BSTR","v":"a\ud800\n"})");
    EXPECT_EQ(Json(COleVariant(OLESTR("x")), true), R"({"vt":"BSTR|BYREF","v":"x"})");
}

// ---- Grid cells as the readable table shows them -----------------------------------

TEST(GridCell, MakesInvisibleCharactersVisible) {
    const OLECHAR text[] = {u'a', 0, u'\t', u'"', u'\\', 0x1B, 0x7F, 0xE9};
    struct Case {
        COleVariant cell;
        const char* shown;
    } cases[] = {
        {COleVariant(text, 8), "\"a\\0\\t\\\"\\\\\\x1b\\x7f\xC3\xA9\""},
        {COleVariant(), ""},
        {COleVariant(OLESTR(""), 0), "\"\""},
        {COleVariant(SHORT{0}, VT_BOOL), "false"},
        {COleVariant(2.5), "2.5"},
    };
    for (const Case& c : cases) {
        std::string shown;
        tessel::GridPrinter::Render(c.cell, shown);
        EXPECT_EQ(shown, c.shown);
    }
}

}  // namespace
}  // namespace tools_testing
