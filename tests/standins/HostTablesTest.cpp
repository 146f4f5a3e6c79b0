#include "StandInTest.h"
#include "standins/HostRecordTable.h"

using namespace standins;

namespace {

using HostTableTest = StandInTest;

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

}  // namespace
