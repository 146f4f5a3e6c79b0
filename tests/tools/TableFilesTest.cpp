// Host table files: the cell typing of .tsv files, the shapes of all three
// forms and the text and binary forms a kept table is saved in.
#include <gtest/gtest.h>

#include <cstring>

#include "TesselRunner.h"
#include "standins/TableFiles.h"
#include "tools/Utf8.h"

namespace tools_testing {
namespace {

using standins::TableFileError;

struct CellCase {
    const char* cell;
    VARTYPE vt;
    const char* value;  // text, or the number as decimal text
};

class CellTyping : public ::testing::TestWithParam<CellCase> {};

std::string ValueText(const VARIANT& v) {
    switch (v.vt) {
        case VT_BSTR: return tessel::ToUtf8(tessel::TextOf(v.bstrVal));
        case VT_I4: return std::to_string(v.lVal);
        case VT_I2: return std::to_string(v.iVal);
        case VT_BOOL: return std::to_string(v.boolVal);
        case VT_R8: {
            char text[32];
            std::snprintf(text, sizeof text, "%.17g", v.dblVal);
            return text;
        }
        default: return "";
    }
}

TEST_P(CellTyping, GivesTheVariantTheCellSpells) {
    TesselFolder folder;
    folder.Write("g.tsv", std::string("first\t") + GetParam().cell + "\n");
    COleSafeArray grid;
    standins::LoadCellGrid(folder.Path() / "g.tsv", "g.tsv", grid);
    LONG index[2] = {0, 1};
    COleVariant cell;
    grid.GetElement(index, &cell);
    EXPECT_EQ(cell.vt, GetParam().vt) << GetParam().cell;
    EXPECT_EQ(ValueText(cell), GetParam().value) << GetParam().cell;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, CellTyping,
    ::testing::Values(CellCase{"", VT_EMPTY, ""}, CellCase{"\\s", VT_BSTR, ""}, CellCase{"plain text", VT_BSTR, "plain text"},
                      CellCase{"\xC3\xA9t\xC3\xA9", VT_BSTR, "\xC3\xA9t\xC3\xA9"},
                      CellCase{"\\i4 -2147483648", VT_I4, "-2147483648"}, CellCase{"\\i2 32767", VT_I2, "32767"},
                      CellCase{"\\bool 1", VT_BOOL, "-1"}, CellCase{"\\bool 0", VT_BOOL, "0"},
                      CellCase{"\\r8 0.1", VT_R8, "0.10000000000000001"}, CellCase{"\\r8 -1e300", VT_R8, "-1.0000000000000001e+300"},
                      CellCase{"\\null", VT_NULL, ""}, CellCase{"\\\\i4 7", VT_BSTR, "\\i4 7"},
                      CellCase{"\\other", VT_BSTR, "\\other"}, CellCase{"\\i4x", VT_BSTR, "\\i4x"}));

TEST(CellTyping, RefusesMisspeltTypedCells) {
    for (const char* cell : {"\\i4 2147483648", "\\i4 12x", "\\i4", "\\i2 40000", "\\bool 2", "\\bool", "\\r8 inf",
                             "\\r8 1e999", "\\r8 ", "\\s x", "\\null 0", "\xC3("}) {
        TesselFolder folder;
        folder.Write("g.tsv", cell);
        COleSafeArray grid;
        EXPECT_THROW(standins::LoadCellGrid(folder.Path() / "g.tsv", "g.tsv", grid), TableFileError) << cell;
    }
}

TEST(CellShape, ComesFromTheWidestRowOrTheDeclaredCount) {
    struct Case {
        const char* file;
        LONG rows;
        LONG columns;
    } cases[] = {
        {"", 0, 0},
        {"a\tb\tc\nd\n", 2, 3},
        {"a\r\nb\n\n", 3, 1},
        {"\\columns 4\n", 0, 4},
        {"\\columns 4\na\tb\n", 1, 4},
    };
    for (const Case& c : cases) {
        TesselFolder folder;
        folder.Write("g.tsv", c.file);
        COleSafeArray grid;
        standins::LoadCellGrid(folder.Path() / "g.tsv", "g.tsv", grid);
        EXPECT_EQ(grid.GetCount(1), c.rows) << c.file;
        EXPECT_EQ(grid.GetCount(2), c.columns) << c.file;
    }
}

TEST(RecordFiles, LinesAreRecordsAndSaveInBothForms) {
    TesselFolder folder;
    folder.Write("r.txt", std::string("ab \r\n\ncd\xE9") + '\0' + "x\n");
    const ComPtr<standins::HostRecordTable> table = standins::LoadRecordTable(folder.Path() / "r.txt", "r.txt");
    ASSERT_EQ(table->RowCount(), 3u);
    EXPECT_EQ(table->Row(1), "ab ");
    EXPECT_EQ(table->Row(2), "");
    EXPECT_EQ(table->Row(3), std::string("cd\xE9") + '\0' + "x");

    standins::SaveRecordTable(*table, folder.Path() / "out.txt", "out.txt");
    EXPECT_EQ(folder.Read("out.txt"), std::string("ab \n\ncd\xE9") + '\0' + "x\n");
    standins::SaveRecordTable(*table, folder.Path() / "out.bin", "out.bin");
    EXPECT_EQ(folder.Read("out.bin"), std::string("ab cd\xE9") + '\0' + "x");
}

TEST(RecordFiles, ChunkFilesAreWholeRecords) {
    TesselFolder folder;
    folder.Write("two.bin", std::string(2 * 1026, 'b'));
    folder.Write("none.bin", "");
    EXPECT_EQ(standins::LoadChunkTable(folder.Path() / "two.bin", "two.bin")->RowCount(), 2u);
    EXPECT_EQ(standins::LoadChunkTable(folder.Path() / "none.bin", "none.bin")->RowCount(), 0u);
    folder.Write("odd.bin", std::string(1027, 'b'));
    EXPECT_THROW(standins::LoadChunkTable(folder.Path() / "odd.bin", "odd.bin"), TableFileError);
}

}  // namespace
}  // namespace tools_testing
