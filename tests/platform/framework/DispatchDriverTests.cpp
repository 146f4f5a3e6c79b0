// DispatchDriver against a recording IDispatch: how calls are laid out, how
// results are converted and how failures come back.
#include "FrameworkTestSupport.h"
#include "platform/DispatchDriver.h"

namespace {

const IID IID_IFakeChart = {0x5a1c0e21, 0x7d4b, 0x4f0e, {0x9a, 0x11, 0x2c, 0x3d, 0x4e, 0x5f, 0x60, 0x71}};
constexpr InterfaceId kChart{"IFakeChart", &IID_IFakeChart};

using DriverCall = LeakChecked;

TEST_F(DriverCall, LaysOutArgumentsLastFirstWithTheRightFlags) {
    const COleVariant a(LONG{1}), b(LONG{2}), c(LONG{3});
    struct Case { std::function<void(const DispatchDriver&)> call; WORD flags; std::vector<LONG> rgvarg; };
    const Case cases[] = {
        {[&](auto& d) { d.PutProperty(5, a); }, DISPATCH_PROPERTYPUT, {1}},
        {[&](auto& d) { d.PutIndexed(5, a, b); }, DISPATCH_PROPERTYPUT, {2, 1}},
        {[&](auto& d) { d.GetProperty(5); }, DISPATCH_PROPERTYGET, {}},
        {[&](auto& d) { d.GetProperty(5, VT_VARIANT, std::vector<VARIANT>{a, b}); }, DISPATCH_PROPERTYGET, {2, 1}},
        {[&](auto& d) { d.CallMethod(5, {a, b, c}); }, DISPATCH_METHOD, {3, 2, 1}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << k.flags << ", " << k.rgvarg.size() << " arguments");
        FakeDispatch chart;
        k.call(DispatchDriver(&chart, kChart));
        ASSERT_EQ(chart.calls.size(), 1u);
        const auto& got = chart.calls[0];
        EXPECT_TRUE(got.id == 5 && got.flags == k.flags);
        std::vector<LONG> values;
        for (const COleVariant& v : got.rgvarg) values.push_back(v.lVal);
        EXPECT_EQ(values, k.rgvarg);
        // A put, and only a put, names its value argument.
        EXPECT_EQ(got.named, std::vector<DISPID>(k.flags == DISPATCH_PROPERTYPUT ? 1 : 0, DISPID_PROPERTYPUT));
    }
}

HRESULT STDMETHODCALLTYPE FillLater(EXCEPINFO* info) {
    info->scode = CTL_E_SETNOTSUPPORTED;
    info->bstrDescription = SysAllocString(OLESTR("filled later"));
    return S_OK;
}

// The callee's EXCEPINFO strings are the caller's to free: the fixture checks.
TEST_F(DriverCall, ConvertsResultsAndRaisesTheCalleesCodeAndText) {
    struct Case { HRESULT answer; std::function<void(EXCEPINFO&)> raise; HRESULT code; OleString description; };
    const Case cases[] = {
        {E_FAIL, nullptr, E_FAIL, DescribeResult(E_FAIL)},
        {DISP_E_EXCEPTION, [](EXCEPINFO& e) {
             e.scode = DISP_E_BADINDEX;
             e.bstrSource = SysAllocString(OLESTR("chart"));
             e.bstrDescription = SysAllocString(OLESTR("no row"));
         }, DISP_E_BADINDEX, OLESTR("no row")},
        {DISP_E_EXCEPTION, [](EXCEPINFO& e) { e.wCode = 1001; }, DISP_E_EXCEPTION, DescribeResult(DISP_E_EXCEPTION)},
        {DISP_E_EXCEPTION, [](EXCEPINFO& e) { e.pfnDeferredFillIn = &FillLater; }, CTL_E_SETNOTSUPPORTED,
         OLESTR("filled later")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.description));
        FakeDispatch chart;
        chart.answer = c.answer;
        chart.raise = c.raise;
        const ComponentError e = Raised([&] { DispatchDriver(&chart, kChart).PutProperty(3, COleVariant()); });
        EXPECT_TRUE(e.Code() == c.code && e.Iid() == &IID_IFakeChart) << e.what();
        EXPECT_EQ(e.Description(), c.description);
    }
    EXPECT_EQ(Raised([] { DispatchDriver(nullptr, kChart).GetProperty(1); }).Code(), E_POINTER);
    FakeDispatch chart;
    const std::vector<VARIANT> tooMany(17, COleVariant());
    EXPECT_EQ(Raised([&] { DispatchDriver(&chart, kChart).CallMethod(1, tooMany); }).Code(), E_INVALIDARG);
    EXPECT_TRUE(chart.calls.empty());
    chart.result = COleVariant(OLESTR("42"));
    const DispatchDriver driver(&chart, kChart);
    EXPECT_EQ(driver.GetProperty(1, VT_I4).lVal, 42);
    EXPECT_EQ(TextOf(driver.GetProperty(1)), OLESTR("42"));
    chart.result = COleVariant(OLESTR("many"));
    EXPECT_EQ(Raised([&] { (void)driver.CallMethod(1, {}, VT_I4); }).Code(), DISP_E_TYPEMISMATCH);
}

}  // namespace
