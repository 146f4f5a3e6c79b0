#include "StandInTest.h"
#include "standins/HostCellTable.h"
#include "standins/HostRecordTable.h"

using namespace standins;

namespace {

using HostTableTest = StandInTest;

TEST_F(HostTableTest, ReadRowPadsWithBlanksAndRefusesRowsOutOfRange) {
    struct Case { ULONG row, length; HRESULT hr; std::string bytes; };
    const Case cases[] = {{1, 5, S_OK, "ABCDE"}, {1, 3, S_OK, "ABC"}, {2, 5, S_OK, "AB   "}, {3, 2, S_OK, "  "},
                          {1, 0, S_OK, ""}, {0, 5, E_INVALIDARG, ""}, {4, 5, E_INVALIDARG, ""}};
    auto table = HostRecordTable::Create({"ABCDE", "AB", ""});
    ComPtr<IHostRowStore> store;
    ASSERT_EQ(table->GetRowStore(store.Receive()), S_OK);
    for (const Case& c : cases) {
        std::string buffer(8, '#');  // nothing is written past the length, not even a terminator
        EXPECT_EQ(store->ReadRow(c.row, c.length, buffer.data()), c.hr) << c.row;
        EXPECT_EQ(buffer, c.bytes + std::string(8 - c.bytes.size(), '#')) << c.row << ", " << c.length;
    }
}

// Calls the function at slot index of object's function table, as a client
// compiled against the interface's layout does.
template <class... Args> HRESULT Slot(void* object, int index, Args... args) {
    return reinterpret_cast<HRESULT (*)(void*, Args...)>((*static_cast<void***>(object))[index])(object, args...);
}

// Each operation sits at its slot; the rows round trip; the store alone keeps them alive.
TEST_F(HostTableTest, OperationsSitAtTheirSlotsAndRowsRoundTrip) {
    auto table = HostRecordTable::Create({"ABCD"});
    table->SetDataFlag(-7);
    LONG flag = 0;
    EXPECT_EQ(Slot(static_cast<IHostTable*>(table.Get()), 16, &flag), S_OK);
    EXPECT_EQ(flag, -7);
    IHostRowStore* store = nullptr;
    EXPECT_EQ(Slot(static_cast<IHostTable*>(table.Get()), 19, &store), S_OK);
    ASSERT_NE(store, nullptr);
    table.Reset();
    char buffer[3];
    ULONG rows = 0;
    EXPECT_EQ(Slot(store, 8, ULONG{2}, "XYZ"), S_OK);  // AppendRow takes exactly `length` bytes
    EXPECT_EQ(Slot(store, 11, &rows), S_OK);
    EXPECT_EQ(rows, 2u);
    EXPECT_EQ(Slot(store, 5, ULONG{2}, ULONG{3}, +buffer), S_OK);
    EXPECT_EQ(std::string(buffer, 3), "XY ");
    EXPECT_EQ(Slot(store, 10), S_OK);
    EXPECT_EQ(Slot(store, 11, &rows), S_OK);
    EXPECT_EQ(rows, 0u);
    store->Release();
}

// The kth call of an operation fails with the code asked for and leaves its
// out-parameter alone; the calls around it succeed.
TEST_F(HostTableTest, FailsTheKthCallOfEachOperation) {
    auto table = HostRecordTable::Create({"R"});
    ComPtr<IHostRowStore> store;
    ASSERT_EQ(table->GetRowStore(store.Receive()), S_OK);
    using enum HostOp;
    for (HostOp op : {GetDataFlag, ReadRow, GetRowCount, AppendRow}) table->FailCall(op, 2, E_ACCESSDENIED);
    for (HRESULT expected : {S_OK, E_ACCESSDENIED, S_OK}) {
        LONG flag = 9;
        char byte = '#';
        ULONG rows = 99;
        EXPECT_EQ(table->GetDataFlag(&flag), expected);
        EXPECT_EQ(store->ReadRow(1, 1, &byte), expected);
        EXPECT_EQ(store->GetRowCount(&rows), expected);
        EXPECT_EQ(store->AppendRow(1, "R"), expected);
        EXPECT_EQ(flag == 9 && byte == '#' && rows == 99, FAILED(expected)) << "written only on success";
    }
}

TEST_F(HostTableTest, CellTableConvertsArgumentsAsDispGetParamDoes) {
    COleVariant three(OLESTR("3"));
    struct Case { std::vector<COleVariant> args; HRESULT hr; std::string result = "EMPTY"; UINT argErr = ~0u; };
    const Case cases[] = {
        {{COleVariant(SHORT{2}), ByRef(VT_VARIANT, &three)}, S_OK, "BSTR x"},
        {{COleVariant(LONG{1}), COleVariant(LONG{4})}, DISP_E_BADINDEX}, {{COleVariant(LONG{1})}, DISP_E_BADPARAMCOUNT},
        {{COleVariant(LONG{1}), COleVariant(OLESTR("c"))}, DISP_E_TYPEMISMATCH, "EMPTY", 0},
        {{COleVariant(OLESTR("r")), COleVariant(LONG{1})}, DISP_E_TYPEMISMATCH, "EMPTY", 1},
    };
    auto table = HostCellTable::Create(2, 3);
    table->SetCell(2, 3, COleVariant(OLESTR("x")));
    for (const Case& c : cases) {
        const Outcome got = CallRaw(table.Get(), 23, DISPATCH_PROPERTYGET | DISPATCH_METHOD, c.args);
        EXPECT_EQ(std::tuple(got.hr, Show(got.result), got.argErr), std::tuple(c.hr, std::string(c.result), c.argErr));
    }
}

}  // namespace
