// The record cutter and builder through a test layout of every kind of field, and the layouts' own checks.
#include <gtest/gtest.h>

#include "standins/HostRecordTable.h"
#include "support/AdapterFixture.h"
#include "tables/RecordCutter.h"
#include "tables/RecordTable.h"

namespace {

using namespace testing_support;
using enum FieldUse;
using standins::HostRecordTable;

constexpr FieldSpec kFields[] = {
    // offset width use     column also       bit
    {   0,    3,  Row},
    {   3,    5,  Text,     0,     4},
    {   8,    4,  Long,     1},
    {  12,    4,  Short,    2},
    {  16,    1,  Digit,    3},
    {  17,    1,  Marker,   3},
    {  18,    1,  Flag,     5,     kNoColumn, 1},
    {  19,    1,  Flag,     5,     kNoColumn, 2},
    {  20,    2,  Skip},
    {  22,    1,  Flag,     5,     kNoColumn, 4},
};
constexpr ConstantCell kConstants[] = {{6, VT_BOOL, -1}, {7, VT_I4, 0}};
constexpr FillLayout kFill{23, 8, kFields, kConstants};
static_assert(kFill.IsValid());

constexpr bool ValidFill(UINT columns, std::initializer_list<FieldSpec> fields) {
    return FillLayout{10, columns, std::span(fields.begin(), fields.size())}.IsValid();
}
static_assert(!ValidFill(2, {{0, 4, Text, 0}, {3, 2, Text, 1}}));  // overlapping
static_assert(!ValidFill(2, {{0, 4, Text, 0}, {4, 7, Text, 1}}));  // past the end
static_assert(!ValidFill(2, {{0, 4, Text, 2}}));                   // no such column
static_assert(ValidFill(3, {{0, 4, Long, 0, 1, 0, 2}}) && !ValidFill(2, {{0, 4, Long, 0, 1, 0, 2}}));

// Text, number, then three flags from one column, highest bit first.
constexpr WriteFieldSpec kWrite[] = {{0, 4, 0}, {4, 3, 1}, {7, 1, 2, 4}, {8, 1, 2, 2}, {9, 1, 2, 1}};
constexpr WriteLayout kWriteLayout{12, kWrite};
static_assert(kWriteLayout.IsValid());
constexpr WriteFieldSpec kFlagsUpward[] = {{0, 1, 0, 1}, {1, 1, 0, 2}};
static_assert(!WriteLayout{2, kFlagsUpward}.IsValid());

// Guards stand in field order, inside the fields, outside the sections blanked before them, never among flags.
using enum GuardMiss;
constexpr bool ValidGuards(std::initializer_list<WriteGuard> guards) {
    return WriteLayout{12, kWrite, std::span(guards.begin(), guards.size())}.IsValid();
}
static_assert(ValidGuards({{1, 0, "1", SkipRow}, {1, 3, "2", BlankFields, 5}}));
static_assert(!ValidGuards({{2, 0, "1", SkipRow}, {1, 0, "1", SkipRow}}));
static_assert(!ValidGuards({{1, 0, "1", BlankFields, 3}, {2, 0, "1", SkipRow}}));
static_assert(!ValidGuards({{5, 0, "1", SkipRow}}));
static_assert(!ValidGuards({{3, 0, "1", SkipRow}}));
static_assert(!ValidGuards({{1, 0, "1", BlankFields, 3}}));
static_assert(!ValidGuards({{1, 0, "1", BlankFields, 1}}));
static_assert(!ValidGuards({{1, 0, "", SkipRow}}));
static_assert(!ValidGuards({{1, 0, "\xE9", SkipRow}}));
static_assert(!ValidGuards({{1, 0, "1", SkipRow, 2}}));

constexpr RecordLayouts kLayouts{.fill310 = kFill, .write310 = kWriteLayout};
using TestConverter = CRecordTable<kLayouts>;

using RecordTest = LeakCheckedTest;

// The value is read in place: its end comes from the field's bytes alone, blanks off the end, then a NUL cuts.
TEST_F(RecordTest, FieldValueEndsAtTheFirstNulOrTheLastNonBlank) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view field;  // exactly the field's bytes
        std::string_view value;
    } cases[] = {
        {"AB        "sv, "AB"sv},
        {"          "sv, ""sv},
        {"  7       "sv, "  7"sv},
        {"A\t        "sv, "A\t"sv},
        {"ABCDEFGHIJ"sv, "ABCDEFGHIJ"sv},  // full width: nothing past the field is read
        {"\0BCDEFGHIJ"sv, ""sv},
        {"AB \0CD    "sv, "AB "sv},          // blanks before a NUL stay
        {"ABCDEFGHI\0"sv, "ABCDEFGHI"sv},    // NUL in the last byte
        {"\xE9\x80\xFF      "sv, "\xE9\x80\xFF"sv},  // high bytes are characters, not ends
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.field)));
        // The bytes after the field are not blanks, so reading past it shows.
        std::string bytes(c.field);
        bytes += "ZZ";
        EXPECT_EQ(FieldValue(bytes.data(), c.field.size()), c.value);
    }
}

TEST_F(RecordTest, EveryKindOfFieldReachesItsColumn) {
    struct Case {
        std::string record;
        LONG row;
        testing_support::Row cells;  // columns 0..7
    } cases[] = {
        {Record({{3, "  2"}, {5, "KEY"}, {4, "  42"}, {4, "7000"}, {1, "5"}, {1, "X"}, {1, "X"}, {1, "X"}, {2, "zz"}, {1, "X"}}),
         1, {"BSTR:KEY", "I4:42", "I2:7000", "I2:5", "BSTR:KEY", "I4:7", "BOOL:-1", "I4:0"}},
        {Record({{3, "1"}, {5, "  A"}, {4, "-12"}, {4, "-300"}, {1, "5"}, {1, "x"}, {1, " "}, {1, "X"}, {2, "X"}, {1, " "}}),
         0, {"BSTR:  A", "I4:-12", "I2:-300", "I2:99", "BSTR:  A", "I4:2", "BOOL:-1", "I4:0"}},
        {Record({{3, "1"}, {5, std::string_view("A\0B", 3)}, {4, "12ab"}, {4, "abc"}, {1, " "}, {1, "X"}, {1, "x"}}),
         0, {"BSTR:A", "I4:12", "I2:0", "I2:0", "BSTR:A", "I4:0", "BOOL:-1", "I4:0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        // Two short rows make a three-row grid; the record under test names its own row.
        auto table = HostRecordTable::Create({"1", "2", c.record});
        TestConverter grid;
        ASSERT_TRUE(grid.Fill310(table));
        ASSERT_EQ(Shape(grid), std::make_pair(LONG{3}, LONG{8}));
        EXPECT_EQ(RowCells(grid, c.row), c.cells);
    }
}

TEST_F(RecordTest, WriteBackFollowsTheCopyRule) {
    using V = COleVariant;
    // A character the code page lacks: Windows writes its nearest letter (U+0100 is 'A'), our code page '?'.
#ifdef _WIN32
    const std::string lacking = "\x80" "A";
#else
    const std::string lacking = "\x80?";
#endif
    struct Case {
        std::vector<COleVariant> cells;
        std::string record;
    };
    const Case cases[] = {
        {{V(OLESTR("AB")), V(LONG{7}), V(LONG{7})}, std::string("AB\0 7\0 XXX  ", 12)},
        {{V(OLESTR("ABCD")), V(LONG{123}), V(LONG{6})}, std::string("ABCD123XX   ", 12)},
        {{V(OLESTR("ABCDEF")), V(LONG{-12345}), V(LONG{1})}, std::string("ABCD-12  X  ", 12)},
        {{V(OLESTR("")), V(SHORT{-1}, VT_BOOL), V(LONG{0})}, std::string("\0   -1\0     ", 12)},
        {{V(OLESTR("\u20ac\u0100")), V(), V(LONG{9})}, lacking + std::string("\0 \0  XXX  ", 10)},
        {{V(OLESTR("x")), V(1.5), V(OLESTR("  5abc"))}, std::string("x\0  1.5X X  ", 12)},
        {{V(OLESTR("x")), V(LONG{0}), V(OLESTR(""))}, std::string("x\0  0\0      ", 12)},
        {{V(OLESTR("x")), V(LONG{0}), V(OLESTR("-3"))}, std::string("x\0  0\0      ", 12)},
        // Numbers come from the element itself: 16-bit ones, the most negative long, a 16-bit flag word.
        {{V(OLESTR("x")), V(SHORT{-32768}, VT_I2), V(SHORT{3}, VT_I2)}, std::string("x\0  -32 XX  ", 12)},
        {{V(OLESTR("x")), V(LONG{-2147483647 - 1}), V(LONG{8})}, std::string("x\0  -21XXX  ", 12)},
        {{V(OLESTR("x")), V(SHORT{5}, VT_I2), V(SHORT{-1}, VT_I2)}, std::string("x\0  5\0      ", 12)},
    };
    std::vector<std::vector<COleVariant>> rows;
    for (const Case& c : cases) rows.push_back(c.cells);
    TestConverter grid;
    static_cast<COleSafeArray&>(grid) = Grid(rows, 3);
    auto table = HostRecordTable::Create({"old row"});
    ASSERT_TRUE(grid.WriteBackRows310(table));
    testing_support::Row records;
    for (const Case& c : cases) records.push_back(c.record);
    EXPECT_EQ(RecordsOf(*table), records);
}

TEST_F(RecordTest, WriteBackFailuresLeaveWhatWasAppended) {
    auto table = HostRecordTable::Create();
    const auto raised = [&table](const COleSafeArray& rows) {
        TestConverter grid;
        static_cast<COleSafeArray&>(grid) = rows;
        try { grid.WriteBackRows310(table); } catch (const ComponentError& error) { return error.Code(); }
        return HRESULT{S_OK};
    };
    const COleVariant one(LONG{1});
    EXPECT_EQ(raised(Grid({{COleVariant(OLESTR("1")), one, one}, {Null(), one, one}}, 3)), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(table->RowCount(), 1u);
    EXPECT_EQ(raised(Grid({{one}}, 1)), DISP_E_BADINDEX) << "fewer columns than the layout reads";
}

}  // namespace
