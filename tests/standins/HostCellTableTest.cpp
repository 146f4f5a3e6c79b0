#include "StandInTest.h"
#include "standins/HostCellTable.h"

using namespace standins;

namespace {

using HostCellTableTest = StandInTest;

constexpr WORD kGet = DISPATCH_PROPERTYGET;

// 2 rows, 3 columns; (1,1) = 42, (2,3) = "x", the rest empty.
ComPtr<HostCellTable> SampleTable() {
    auto table = HostCellTable::Create(2, 3);
    table->SetCell(1, 1, COleVariant(LONG{42}));
    table->SetCell(2, 3, COleVariant(u"x"));
    return table;
}

TEST_F(HostCellTableTest, AnswersCountsAndCellsWithArgumentsConvertedAsDispGetParamDoes) {
    COleVariant three(u"3");
    struct Case { const char* name; DISPID member; WORD flags; std::vector<COleVariant> args; HRESULT hr; std::string result; UINT argErr; };
    const Case cases[] = {
        {"rows", 1, kGet, {}, S_OK, "I4 2", ~0u},
        {"columns as method", 2, kGet | DISPATCH_METHOD, {}, S_OK, "I4 3", ~0u},
        {"cell", 23, kGet, {COleVariant(LONG{1}), COleVariant(LONG{1})}, S_OK, "I4 42", ~0u},
        {"text column", 23, kGet, {COleVariant(SHORT{2}), COleVariant(u"3")}, S_OK, "BSTR x", ~0u},
        {"column by reference", 23, kGet, {COleVariant(LONG{2}), ByRef(VT_VARIANT, &three)}, S_OK, "BSTR x", ~0u},
        {"empty cell", 23, kGet, {COleVariant(LONG{2}), COleVariant(LONG{1})}, S_OK, "EMPTY", ~0u},
        {"row 0", 23, kGet, {COleVariant(LONG{0}), COleVariant(LONG{1})}, DISP_E_BADINDEX, "EMPTY", ~0u},
        {"column past end", 23, kGet, {COleVariant(LONG{1}), COleVariant(LONG{4})}, DISP_E_BADINDEX, "EMPTY", ~0u},
        {"column not a number", 23, kGet, {COleVariant(LONG{1}), COleVariant(u"c")}, DISP_E_TYPEMISMATCH, "EMPTY", 0},
        {"row not a number", 23, kGet, {COleVariant(u"r"), COleVariant(LONG{1})}, DISP_E_TYPEMISMATCH, "EMPTY", 1},
        {"one argument", 23, kGet, {COleVariant(LONG{1})}, DISP_E_BADPARAMCOUNT, "EMPTY", ~0u},
        {"put", 1, DISPATCH_PROPERTYPUT, {COleVariant(LONG{1})}, DISP_E_MEMBERNOTFOUND, "EMPTY", ~0u},
        {"unknown member", 99, kGet, {}, DISP_E_MEMBERNOTFOUND, "EMPTY", ~0u},
    };
    auto table = SampleTable();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome got = CallRaw(table.Get(), c.member, c.flags, c.args);
        EXPECT_EQ(got.hr, c.hr);
        EXPECT_EQ(Show(got.result), c.result);
        EXPECT_EQ(got.argErr, c.argErr);
    }
}

TEST_F(HostCellTableTest, QueryAnswersTheCellTableUnlessTold) {
    auto table = SampleTable();
    EXPECT_TRUE(table.TryQuery<IHostCellTable>());
    EXPECT_FALSE(table.TryQuery<IHostTable>());
    table->SetOffersCellTable(false);
    EXPECT_FALSE(table.TryQuery<IHostCellTable>());
    EXPECT_TRUE(table.TryQuery<IDispatch>());
}

TEST_F(HostCellTableTest, InjectedFailuresAreRaisedAsExceptions) {
    struct Case { CellOp op; DISPID member; std::vector<COleVariant> args; };
    const Case cases[] = {
        {CellOp::RowCount, 1, {}},
        {CellOp::ColumnCount, 2, {}},
        {CellOp::Cell, 23, {COleVariant(LONG{1}), COleVariant(LONG{1})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        auto table = SampleTable();
        table->FailCall(c.op, 2, E_ACCESSDENIED);
        table->FailCall(c.op, 3, E_FAIL);
        EXPECT_EQ(CallRaw(table.Get(), c.member, kGet, c.args).hr, S_OK);
        const Outcome raised = CallRaw(table.Get(), c.member, kGet, c.args);
        EXPECT_EQ(raised.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(raised.scode, E_ACCESSDENIED);
        EXPECT_EQ(raised.description, OleString(u"Cell table: injected failure"));
        // Without EXCEPINFO the caller still learns the code.
        EXPECT_EQ(CallRaw(table.Get(), c.member, kGet, c.args, false).hr, E_FAIL);
        EXPECT_EQ(table->CallCount(c.op), 3u);
    }
    auto table = SampleTable();
    table->FailCall(CellOp::QueryInterface, 1, E_OUTOFMEMORY);
    ComPtr<IHostCellTable> cells;
    EXPECT_EQ(table.As(cells), E_OUTOFMEMORY);
    EXPECT_EQ(table.As(cells), S_OK);
}

TEST_F(HostCellTableTest, RecordsCellsAsConverted) {
    auto table = SampleTable();
    CallRaw(table.Get(), 1, kGet, {});
    CallRaw(table.Get(), 23, kGet, {COleVariant(u"2"), COleVariant(LONG{3})});
    CallRaw(table.Get(), 23, kGet, {COleVariant(u"?"), COleVariant(LONG{3})});
    const std::vector<CellCall> expected = {{CellOp::RowCount}, {CellOp::Cell, 2, 3}, {CellOp::Cell, 0, 0}};
    EXPECT_EQ(table->Calls(), expected);
}

}  // namespace
