#include <cstdio>
#include <functional>
#include <string>

#include "StandInTest.h"
#include "standins/HostRecordTable.h"

using namespace standins;

namespace {

using HostRecordTableTest = StandInTest;

ComPtr<IHostRowStore> StoreOf(IHostTable* table) {
    ComPtr<IHostRowStore> store;
    EXPECT_EQ(table->GetRowStore(store.Receive()), S_OK);
    return store;
}

TEST_F(HostRecordTableTest, ReadRowCopiesPadsWithBlanksAndRefusesRowsOutOfRange) {
    struct Case { ULONG row, length; HRESULT hr; std::string bytes; };
    const Case cases[] = {
        {1, 5, S_OK, "ABCDE"}, {1, 3, S_OK, "ABC"}, {2, 5, S_OK, "AB   "}, {3, 2, S_OK, "  "},
        {1, 0, S_OK, ""},      {0, 5, E_INVALIDARG, ""}, {4, 5, E_INVALIDARG, ""},
    };
    auto table = HostRecordTable::Create({"ABCDE", "AB", ""});
    auto store = StoreOf(table.Get());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " length " << c.length);
        std::string buffer(8, '#');
        EXPECT_EQ(store->ReadRow(c.row, c.length, buffer.data()), c.hr);
        // Nothing is written past the length, not even a terminator.
        EXPECT_EQ(buffer, c.bytes + std::string(8 - c.bytes.size(), '#'));
    }
}

TEST_F(HostRecordTableTest, RowStoreAppendsCountsClearsAndKeepsItsTableAlive) {
    auto table = HostRecordTable::Create({"first"});
    auto store = StoreOf(table.Get());
    HostRecordTable* rows = table.Get();
    table.Reset();  // the store's reference alone keeps the rows
    EXPECT_EQ(LiveObjects(), 2);

    ULONG count = 0;
    EXPECT_EQ(store->AppendRow(3, "XYZW"), S_OK);  // exactly `length` bytes
    EXPECT_EQ(store->GetRowCount(&count), S_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(rows->Row(2), "XYZ");
    EXPECT_EQ(store->ClearRows(), S_OK);
    EXPECT_EQ(rows->RowCount(), 0u);
    const std::vector<HostCall> expected = {
        {HostOp::GetRowStore}, {HostOp::AppendRow, 0, 3}, {HostOp::GetRowCount}, {HostOp::ClearRows}};
    EXPECT_EQ(rows->Calls(), expected);
}

TEST_F(HostRecordTableTest, OptionsShapeWhatTheTableAnswers) {
    struct Case { bool offers; HRESULT setResult, hr; bool handsOut; };
    const Case cases[] = {
        {true, S_OK, S_OK, true},
        {false, S_OK, E_NOINTERFACE, false},
        {true, E_ACCESSDENIED, E_ACCESSDENIED, false},
        {true, S_FALSE, S_FALSE, false},  // claims success, hands out nothing
    };
    for (const Case& c : cases) {
        auto table = HostRecordTable::Create();
        table->SetOffersHostTable(c.offers);
        table->SetQueryResult(c.setResult);
        ComPtr<IHostTable> asked;
        EXPECT_EQ(table->QueryInterface(IID_IHostTable, asked.ReceiveVoid()), c.hr);
        EXPECT_EQ(static_cast<bool>(asked), c.handsOut);
        EXPECT_TRUE(table.TryQuery<IDispatch>());
        EXPECT_FALSE(table.TryQuery<IHostRowStore>());  // only through GetRowStore
    }
    auto table = HostRecordTable::Create();
    table->SetOffersRowStore(false);
    auto* store = reinterpret_cast<IHostRowStore*>(&table);
    EXPECT_EQ(table->GetRowStore(&store), S_OK);
    EXPECT_EQ(store, nullptr);
}

// The kth call of every operation fails with the code asked for and leaves
// its out-parameter alone; the calls around it succeed.
TEST_F(HostRecordTableTest, FailsTheKthCallOfEachOperation) {
    struct Handles { IHostTable* table; IHostRowStore* store; bool written; };
    const std::pair<HostOp, std::function<HRESULT(Handles&)>> cases[] = {
        {HostOp::QueryInterface, [](Handles& h) {
             ComPtr<IHostTable> out;
             HRESULT hr = h.table->QueryInterface(IID_IHostTable, out.ReceiveVoid());
             h.written = static_cast<bool>(out);
             return hr; }},
        {HostOp::GetDataFlag, [](Handles& h) {
             LONG flag = 9; HRESULT hr = h.table->GetDataFlag(&flag); h.written = flag != 9; return hr; }},
        {HostOp::GetRowStore, [](Handles& h) {
             IHostRowStore* store = h.store; HRESULT hr = h.table->GetRowStore(&store);
             h.written = store != h.store; if (h.written) store->Release(); return hr; }},
        {HostOp::ReadRow, [](Handles& h) {
             char byte = '#'; HRESULT hr = h.store->ReadRow(1, 1, &byte); h.written = byte != '#'; return hr; }},
        {HostOp::AppendRow, [](Handles& h) { return h.store->AppendRow(1, "R"); }},
        {HostOp::ClearRows, [](Handles& h) { return h.store->ClearRows(); }},
        {HostOp::GetRowCount, [](Handles& h) {
             ULONG count = 9; HRESULT hr = h.store->GetRowCount(&count); h.written = count != 9; return hr; }},
    };
    for (const auto& [op, call] : cases) {
        SCOPED_TRACE(static_cast<int>(op));
        auto table = HostRecordTable::Create({"R"});
        auto store = StoreOf(table.Get());
        const unsigned before = table->CallCount(op);
        table->FailCall(op, before + 2, E_ACCESSDENIED);
        Handles h{table.Get(), store.Get(), false};
        EXPECT_EQ(call(h), S_OK);
        EXPECT_EQ(call(h), E_ACCESSDENIED);
        EXPECT_FALSE(h.written);
        EXPECT_EQ(call(h), S_OK);
        EXPECT_EQ(table->CallCount(op), before + 3);
    }
}

// Calls through the raw function table prove each operation sits at its slot.
TEST_F(HostRecordTableTest, OperationsSitAtTheirSlots) {
    auto table = HostRecordTable::Create({"ABCD"});
    table->SetDataFlag(0);
    auto slot = [](auto* object, int index) { return (*reinterpret_cast<void***>(object))[index]; };
    IHostTable* itf = table.Get();

    LONG flag = 1;
    EXPECT_EQ(reinterpret_cast<HRESULT (*)(IHostTable*, LONG*)>(slot(itf, 16))(itf, &flag), S_OK);
    EXPECT_EQ(flag, 0);
    IHostRowStore* store = nullptr;
    EXPECT_EQ(reinterpret_cast<HRESULT (*)(IHostTable*, IHostRowStore**)>(slot(itf, 19))(itf, &store), S_OK);
    ASSERT_NE(store, nullptr);

    char buffer[2];
    EXPECT_EQ(reinterpret_cast<HRESULT (*)(IHostRowStore*, ULONG, ULONG, LPSTR)>(slot(store, 5))(store, 1, 2, buffer),
              S_OK);
    EXPECT_EQ(std::string(buffer, 2), "AB");
    EXPECT_EQ(reinterpret_cast<HRESULT (*)(IHostRowStore*, ULONG, LPCSTR)>(slot(store, 8))(store, 2, "XY"), S_OK);
    ULONG count = 0;
    auto getRowCount = reinterpret_cast<HRESULT (*)(IHostRowStore*, ULONG*)>(slot(store, 11));
    EXPECT_EQ(getRowCount(store, &count), S_OK);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(reinterpret_cast<HRESULT (*)(IHostRowStore*)>(slot(store, 10))(store), S_OK);
    EXPECT_EQ(getRowCount(store, &count), S_OK);
    EXPECT_EQ(count, 0u);
    store->Release();
}

TEST_F(HostRecordTableTest, HoldsAMillionRows) {
    constexpr ULONG kRows = 1'000'000;
    auto table = HostRecordTable::Create();
    auto store = StoreOf(table.Get());
    char record[10];
    for (ULONG i = 1; i <= kRows; ++i)
        ASSERT_EQ(store->AppendRow(std::snprintf(record, sizeof record, "%lu", static_cast<unsigned long>(i)), record),
                  S_OK);
    EXPECT_EQ(store->ReadRow(kRows, 8, record), S_OK);
    EXPECT_EQ(std::string(record, 8), "1000000 ");
    EXPECT_EQ(table->Row(123456), "123456");
}

}  // namespace
