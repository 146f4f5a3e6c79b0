#include "StandInTest.h"
#include "control/ChartInterface.h"
#include "standins/NoInterfaceObject.h"
#include "tables/HostTable.h"

using namespace standins;

namespace {

using NoInterfaceObjectTest = StandInTest;

TEST_F(NoInterfaceObjectTest, OffersOnlyIDispatchAndRecordsWhatWasAsked) {
    auto object = NoInterfaceObject::Create();
    EXPECT_EQ(LiveObjects(), 1);
    EXPECT_TRUE(object.TryQuery<IDispatch>());
    EXPECT_FALSE(object.TryQuery<IChartControl>());
    EXPECT_FALSE(object.TryQuery<IHostTable>());
    ASSERT_EQ(object->Queries().size(), 3u);
    EXPECT_TRUE(IsEqualIID(object->Queries()[1], IID_IChartControl));

    object->FailQuery(4, E_OUTOFMEMORY);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(object.As(dispatch), E_OUTOFMEMORY);
    EXPECT_EQ(object.As(dispatch), S_OK);
    EXPECT_EQ(object->RefCount(), 2u);
}

}  // namespace
