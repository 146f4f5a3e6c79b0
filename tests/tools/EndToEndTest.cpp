// tessel as its users run it: session files in, trace lines, files, exit
// status and error messages out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TesselRunner.h"

namespace tools_testing {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

const char* const kSetVersion = R"({"host":"call","member":"SetVersion","ok":true})";
const char* const kAttached = R"({"host":"call","member":"HandleTesselCtrl","ok":true})";
// Without a host environment every attach sends the system font.
const char* const kFontFace = R"({"chart":"call","dispid":38,"args":[{"vt":"BSTR","v":"System"},{"vt":"I2","v":0},{"vt":"I2","v":34}]})";
const char* const kFontHeightToo = R"({"chart":"put","dispid":23,"args":[{"vt":"I4","v":16}]})";
const char* const kFontHeight = R"({"chart":"put","dispid":22,"args":[{"vt":"I4","v":16}]})";

TEST(Trace, IsExactlyTheContract) {
    // Every session runs with --strict: a failed member makes the status 1.
    struct Case { const char* name; std::string session; Lines trace; int status = 0; };
    const Case cases[] = {
        {"setting up and single values",
         "version 310  # layout\n\nattach\nwebgui off\nset PresentationMode 2\nget PresentationMode\n"
         "call DisableContextMenu 3\n",
         {kSetVersion, kFontFace, kFontHeightToo, kFontHeight, kAttached, R"({"host":"call","member":"SetUseWEBGui","ok":true})",
          R"({"chart":"put","dispid":1,"args":[{"vt":"I4","v":2}]})",
          R"({"host":"set","member":"PresentationMode","ok":true})",
          R"({"chart":"get","dispid":1,"args":[]})",
          R"({"host":"get","member":"PresentationMode","ok":true,"value":{"vt":"I4","v":2}})",
          R"({"chart":"call","dispid":27,"args":[{"vt":"I4","v":3},{"vt":"BOOL","v":false}]})",
          R"({"host":"call","member":"DisableContextMenu","ok":true,"value":{"vt":"I4","v":1}})"}},
        {"out arguments and selections",
         "attach\nchart matrix \"O 1\" R1\nget MatrixSelectionObj\n",
         {kFontFace, kFontHeightToo, kFontHeight, kAttached,
          R"({"chart":"call","dispid":45,"args":[{"vt":"BSTR|BYREF","v":""},{"vt":"BSTR|BYREF","v":""}]})",
          R"({"host":"get","member":"MatrixSelectionObj","ok":true,"value":{"vt":"BSTR","v":"O 1"}})"}},
        {"record text is escaped and decoded from the code page",
         "version 310\nattach\nset Perspectives p.txt\n",
         {kSetVersion, kFontFace, kFontHeightToo, kFontHeight, kAttached,
          R"({"chart":"put","dispid":3,"args":[{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[1,7],"v":[[)"
          R"({"vt":"BSTR","v":"FIN"},{"vt":"BSTR","v":"Short"},)"
          R"({"vt":"BSTR","v":"Fin\"an\\ce\tx é€"},{"vt":"BSTR","v":"Fin\"an\\ce\tx é€"},)"
          R"({"vt":"I2","v":3},{"vt":"BSTR","v":"T"},{"vt":"I2","v":42}]]}]})",
          R"({"host":"set","member":"Perspectives","ok":true})"}},
        {"every text the chart hands back is escaped: NUL, quote, backslash, beyond ASCII and the 16-bit plane",
         "attach\nchart strategy \"a"s + '\0' + "b\\\\\\\"\xC3\xBC\xF0\x9F\x98\x80\"\nget SelectedStrategy\n",
         {kFontFace, kFontHeightToo, kFontHeight, kAttached, R"({"chart":"call","dispid":73,"args":[]})",
          "{\"host\":\"get\",\"member\":\"SelectedStrategy\",\"ok\":true,\"value\":{\"vt\":\"BSTR\",\"v\":"
          "\"a\\u0000b\\\\\\\"\xC3\xBC\xF0\x9F\x98\x80\"}}"}},
        {"failed members as the host sees them",
         "get PresentationMode\nattach null\nattach\nchart fail 1 0x80004005\n"
         "get PresentationMode\nchart fail 16 0x8000FFFF \"the chart says \\\"no\\\"\"\n"
         "set MovingRestrictions 1\nset MovingRestrictions 1\n",
         {R"({"host":"get","member":"PresentationMode","ok":false,"hr":"0x80004003","error":"Invalid pointer"})",
          R"({"host":"call","member":"HandleTesselCtrl","ok":false,"hr":"0x80004003","error":"Invalid pointer"})",
          kFontFace, kFontHeightToo, kFontHeight, kAttached, R"({"chart":"get","dispid":1,"args":[]})",
          R"({"host":"get","member":"PresentationMode","ok":false,"hr":"0x80004005","error":"Unspecified error"})",
          R"({"chart":"put","dispid":16,"args":[{"vt":"I4","v":1}]})",
          R"({"host":"set","member":"MovingRestrictions","ok":false,"hr":"0x8000FFFF","error":"the chart says \"no\""})",
          R"({"chart":"put","dispid":16,"args":[{"vt":"I4","v":1}]})",
          R"({"host":"set","member":"MovingRestrictions","ok":true})"},
         1},
    };
    TesselFolder folder;
    folder.Write("p.txt", Perspective(" 1", "FIN", "Fin\"an\\ce\tx \xE9\x80") + "\r\n");
    for (const Case& c : cases) {
        const Ran ran = folder.RunSession(c.session, {"--strict"});
        EXPECT_EQ(ran.status, c.status) << c.name << ": " << ran.err;
        EXPECT_EQ(folder.TraceLines(), c.trace) << c.name;
    }
}

TEST(KeptTable, IsSavedWhereTheGetSaysAndReadsBackIn) {
    TesselFolder folder;
    folder.Write("objectives.txt", Record({{10, "OBJ01"}}) + "\n" + Record({{10, "OBJ02"}}) + "\n");
    folder.Write("lent.txt", "");
    const Ran ran = folder.RunSession(
        "version 310\nattach\nset Objectives objectives.txt\n"
        "set Objectives lent.txt flag=0\nget Objectives back.txt\nget Objectives again.txt\n"
        "set Objectives lent.txt flag=0\nget Objectives back.bin\n"
        "set Objectives lent.txt flag=0\nget Objectives\n"
        "set Objectives back.txt\n",
        {"--out", "out"});
    ASSERT_EQ(ran.status, 0) << ran.err;
    EXPECT_FALSE(folder.Exists("back.txt")) << "saved tables go under --out";

    const std::string text = folder.Read("out/back.txt");
    ASSERT_EQ(text.size(), 2 * (163 + 1)) << "two records of 163 bytes, each ending a line";
    EXPECT_EQ(text.substr(0, 6), "OBJ01\0"s);
    EXPECT_EQ(text[163], '\n');
    EXPECT_EQ(folder.Read("out/back.bin"), text.substr(0, 163) + text.substr(164, 163)) << "the binary form has no newlines";
    EXPECT_FALSE(folder.Exists("out/again.txt")) << "a getter with no kept table returns nothing to save";

    Lines hostGets;
    for (const std::string& line : folder.TraceLines())
        if (line.starts_with(R"({"host":"get")")) hostGets.push_back(line);
    EXPECT_EQ(hostGets,
              (Lines{R"({"host":"get","member":"Objectives","ok":true,"value":{"vt":"DISPATCH","v":"back.txt"}})",
                     R"({"host":"get","member":"Objectives","ok":true,"value":{"vt":"DISPATCH","v":null}})",
                     R"({"host":"get","member":"Objectives","ok":true,"value":{"vt":"DISPATCH","v":"back.bin"}})",
                     R"({"host":"get","member":"Objectives","ok":true,"value":{"vt":"DISPATCH","v":"object"}})"}));
    // The records written back read in again, from under out/, as a grid of two rows.
    EXPECT_NE(folder.TraceLines().at(folder.TraceLines().size() - 2).find(R"("dims":[2,11])"), std::string::npos);

    // A table that cannot be saved ends the run after its get.
    folder.Write("s.session", "version 310\nattach\nset Objectives objectives.txt\nset Objectives lent.txt flag=0\n"
                              "get Objectives /nonexistent/dir/x.txt\nset PresentationMode 1\n");
    const Ran failed = folder.Tessel({"run", "s.session"});
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.err, "s.session:5: /nonexistent/dir/x.txt: cannot write: No such file or directory\n");
    const Lines summary = SplitLines(failed.out);
    ASSERT_GE(summary.size(), 2u) << failed.out;
    EXPECT_EQ(Lines(summary.end() - 2, summary.end()),
              (Lines{"5: get Objectives: ok, table not saved to /nonexistent/dir/x.txt; chart: get 4 Objectives",
                     "5 member steps ran, 0 failed"}));
}

// How the bytes are cut into chunks, and asked of the chart by version, BlobTest
// checks; a chunk file read back in, the demo.
TEST(KeptTable, TheChartsBytesAreSavedAsAChunkFile) {
    TesselFolder folder;
    std::string bytes(1500, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 253);
    folder.Write("picture.dat", bytes);
    folder.Write("lent.txt", "");
    const Ran ran = folder.RunSession("version 310\nattach\nchart bytes 11 picture.dat\nset Blob lent.txt flag=0\n"
                                      "get Blob back.bin\n");
    ASSERT_EQ(ran.status, 0) << ran.err;
    const std::string back = folder.Read("back.bin");
    ASSERT_EQ(back.size(), 2u * 1026u) << "two chunk records, no newlines";
    EXPECT_EQ(back.substr(4, 1021) + back.substr(1030, 479), bytes);
}

TEST(ReadableForms, SummaryHasALinePerMemberStepAndGridShowsColumnsTypesAndControlCharacters) {
    TesselFolder folder;
    folder.Write("p.txt", Perspective(" 2", "CUS", "Cus\ttomer") + "\n" + Perspective(" 1", "FIN", "Finance") + "\n");
    folder.Write("s.session", "version 310\nattach\nchart fail 3 0x80004005 boom\nset Perspectives p.txt\nget SelectedStrategy\n");
    const Ran summary = folder.Tessel({"run", "s.session"});
    EXPECT_EQ(summary.status, 0) << "a failed member fails the run only with --strict";
    EXPECT_EQ(summary.out,
              "1: call SetVersion: ok; chart: nothing\n"
              "2: call HandleTesselCtrl: ok; chart: call 38 Font (BSTR, I2, I2), put 23 FontHeightToo (I4), put 22 "
              "FontHeight (I4)\n"
              "4: set Perspectives: FAILED 0x80004005 boom; chart: put 3 Perspectives (2x7 grid)\n"
              "5: get SelectedStrategy: ok = \"\"; chart: call 73 SelectedStrategy\n"
              "4 member steps ran, 1 failed\n");

    const Ran grid = folder.Tessel({"grid", "Perspectives", "p.txt"});
    EXPECT_EQ(grid.status, 0) << grid.err;
    EXPECT_EQ(grid.out,
              "put 3: grid of 2 rows x 7 columns\n"
              "row   0      1        2             3             4   5     6\n"
              "type  BSTR   BSTR     BSTR          BSTR          I2  BSTR  I2\n"
              "0     \"FIN\"  \"Short\"  \"Finance\"     \"Finance\"     3   \"T\"   42\n"
              "1     \"CUS\"  \"Short\"  \"Cus\\ttomer\"  \"Cus\\ttomer\"  3   \"T\"   42\n"
              "\n");

    const Ran json = folder.Tessel({"grid", "Perspectives", "p.txt", "--json", "--version", "20"});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.starts_with(R"({"chart":"put","dispid":3,"args":[{"vt":"ARRAY|VARIANT","lbound":[0,0],"dims":[2,5],)"))
        << json.out;

    EXPECT_EQ(folder.Tessel({"grid", "Links", "p.txt"}).out, "nothing reached the chart\n");
    // A collected table is shown by the template method that sends it.
    folder.Write("m.txt", "A         B\n");
    EXPECT_EQ(folder.Tessel({"grid", "StrategyMap", "m.txt"}).out,
              "call 59: EMPTY, EMPTY, EMPTY, EMPTY, grid of 1 rows x 2 columns, EMPTY, EMPTY, EMPTY\n"
              "row   0     1\n"
              "type  BSTR  BSTR\n"
              "0     \"B\"   \"A\"\n"
              "\n");
    EXPECT_TRUE(folder.Tessel({"grid", "StrategiesFromBlobTemplate", "m.txt"}).out.starts_with(
        "call 83: EMPTY, EMPTY, EMPTY, grid of 1 rows x 3 columns, EMPTY"));
}

TEST(CommandLine, EveryCommandHasHelpAndTheDemoRunsAnywhere) {
    TesselFolder folder;
    EXPECT_EQ(folder.Tessel({"--help"}).status, 0);
    for (const char* command : {"run", "grid", "demo"}) {
        const Ran ran = folder.Tessel({command, "--help"});
        EXPECT_EQ(ran.status, 0) << command;
        EXPECT_TRUE(ran.out.starts_with(std::string("usage: tessel ") + command)) << ran.out;
    }
    const Ran demo = folder.Tessel({"demo", "--out", "demo"});
    ASSERT_EQ(demo.status, 0) << demo.err;
    // Every step of the bundled session succeeds; the collected templates reach the chart whole.
    for (const char* line : {" member steps ran, 0 failed\n", "set Blob: ok; chart: put 11 Blob (2112 bytes)",
                             "call AddTemplate: ok; chart: call 59 AddTemplate (1x8 grid, 2x11 grid, 1x8 grid, 99 bytes, 1x2 grid",
                             "call AddTemplateEx: ok; chart: call 83 AddTemplateEx (1x8 grid, 2x11 grid, 1x8 grid, 1x3 grid, 2x3 grid"})
        EXPECT_NE(demo.out.find(line), std::string::npos) << line << " in\n" << demo.out;
    EXPECT_EQ(folder.Read("demo/layout-back.bin"), folder.Read("demo/layout.bin")) << "the blob comes back as it went";
    EXPECT_NE(folder.Read("demo/objectives-back.txt").find("OBJ12"), std::string::npos);
    EXPECT_NE(demo.out.find("Picture of the chart: demo/scorecard.png\n"), std::string::npos) << demo.out;
    EXPECT_EQ(folder.Read("demo/scorecard.png").substr(0, 8), "\x89PNG\r\n\x1A\n"s);
    EXPECT_EQ(folder.Read("demo/strategy-map.jpg").substr(0, 3), "\xFF\xD8\xFF"s) << "the session's SaveAsJPeg";
    const std::filesystem::path examples = std::filesystem::path(TESSEL_SOURCE_DIR) / "examples";
    EXPECT_FALSE(std::filesystem::exists(examples / "objectives-back.txt")) << "examples/ must stay as it is";
}

}  // namespace
TEST(HostSteps, EnvironmentAndDialogAnswerTheControl) {
    struct Case { const char* env; std::size_t colourPuts; const char* face; };
    const Case cases[] = {{"default", 1, "Tahoma"}, {"noscheme", 0, "Tahoma"}, {"none", 0, "System"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.env);
        TesselFolder folder;
        const Ran ran = folder.RunSession("env "s + c.env +
                                          "\nattach\ndialog out.jpg\ncall SaveAsJPeg T\ncall SaveAsJPeg T\n");
        ASSERT_EQ(ran.status, 0) << ran.err;
        std::size_t colours = 0, saves = 0, faces = 0;
        for (const std::string& line : folder.TraceLines()) {
            colours += line.find(R"("chart":"put","dispid":12,)") != std::string::npos;
            saves += line.find(R"("chart":"call","dispid":33,)") != std::string::npos;
            faces += line.find(R"("dispid":38,"args":[{"vt":"BSTR","v":")"s + c.face) != std::string::npos;
        }
        EXPECT_EQ(colours, c.colourPuts);
        EXPECT_EQ(faces, 1u);
        EXPECT_EQ(saves, 1u) << "the answer is used once; the next dialog is cancelled";
    }
}

TEST(Picture, RunDrawsTheChartAsPngOrSvgAndRefusesOtherEndings) {
    struct Case { const char* file; int status; std::string starts; };
    const Case cases[] = {
        {"map.png", 0, "\x89PNG"}, {"MAP.SVG", 0, "<?xml"}, {"map.jpg", 2, ""}, {"map", 2, ""}, {"map.png.txt", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TesselFolder folder;
        const Ran ran = folder.RunSession("attach\n", {"--picture", c.file});
        ASSERT_EQ(ran.status, c.status) << ran.err;
        if (c.status != 0) {
            const std::string refusal = "--picture takes a .png or .svg file, not "s + c.file;
            EXPECT_NE(ran.err.find(refusal), std::string::npos) << ran.err;
            EXPECT_FALSE(folder.Exists(c.file));
            EXPECT_FALSE(folder.Exists("t.jsonl")) << "no step ran";
            continue;
        }
        EXPECT_EQ(folder.Read(c.file).substr(0, c.starts.size()), c.starts);
        EXPECT_EQ(ran.out, "Picture of the chart: "s + c.file + "\n") << "the trace went to its file";
    }
}

}  // namespace tools_testing
