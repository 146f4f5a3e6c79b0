// The framework's wrappers and what they leave when an operation fails (call layout: every adapter test shows it).
#include <functional>

#include "../PlatformTest.h"
#include "platform/DispatchDriver.h"
#include "platform/Guid.h"
#include "platform/OleSafeArray.h"
#include "platform/VariantGrid.h"

namespace {

ComponentError Raised(const std::function<void()>& call) {
    try { call(); } catch (const ComponentError& e) { return e; }
    ADD_FAILURE() << "nothing was raised";
    return ComponentError(S_OK, {}, {});
}

typedef LeakChecked VariantOwner, ArrayOwner, DriverCall;  // the test groups, all with the leak check

TEST_F(VariantOwner, AnsiTextAndFailedConversionsLeaveTheValue) {
    // Describe shows the low byte of each character: 0x20AC 0x0081 0x0178 0x00E9.
    EXPECT_EQ(Describe(COleVariant::FromAnsi("a\0b\x80\x81\x9f\xe9", 7)), std::string("'a\0b\xAC\x81x\xE9'", 9));
    COleVariant number(OLESTR("12")), word(OLESTR("twelve"));
    number.ChangeType(VT_I4);
    EXPECT_EQ(std::pair(number.vt, number.lVal), (std::pair<VARTYPE, LONG>(VT_I4, 12)));
    EXPECT_EQ(Raised([&] { word.ChangeType(VT_I4); }).Code(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Describe(word), "'twelve'");
}

TEST_F(ArrayOwner, MovedValuesReplaceTheElementAndAFailedMoveLeavesThem) {
    COleSafeArray grid, empty;
    const DWORD shape[] = {3, 2};
    grid.Create(VT_VARIANT, 2, shape);
    LONG lower = 0, at[] = {2, 1}, outside[] = {3, 0};
    COleVariant kept(OLESTR("kept")), moved(OLESTR("moved")), value(LONG{1});
    grid.PutElement(at, &kept);
    const BSTR owned = moved.bstrVal;
    grid.PutElement(at, std::move(moved));  // replaces "kept" in place
    EXPECT_EQ(moved.vt, VT_EMPTY);
    VARIANT* cells = nullptr;
    grid.AccessData(reinterpret_cast<void**>(&cells));
    EXPECT_EQ(cells[2 + 1 * 3].bstrVal, owned);  // dimension 1 varies fastest
    grid.UnaccessData();
    EXPECT_EQ(Raised([&] { grid.PutElement(outside, std::move(value)); }).Code(), DISP_E_BADINDEX);
    EXPECT_EQ(value.lVal, 1);
    EXPECT_FALSE(empty.HasArray());
    EXPECT_EQ(Raised([&] { empty.GetUBound(1, &lower); }).Code(), E_INVALIDARG);
}

// A locked grid addresses elements from each dimension's lower bound and refuses what the element calls refuse.
TEST_F(ArrayOwner, LockedGridsAddressElementsAsTheElementCallsDo) {
    struct Case { LONG rowBase, columnBase; };
    for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{-2, 5}}) {
        SCOPED_TRACE(testing::Message() << c.rowBase << "," << c.columnBase);
        SAFEARRAYBOUND bounds[2] = {{3, c.rowBase}, {2, c.columnBase}};
        VARIANT made = Of(VT_ARRAY | VT_VARIANT, SafeArrayCreate(VT_VARIANT, 2, bounds));
        COleSafeArray grid;
        grid.Attach(made);
        {
            CVariantGrid cells(grid);
            cells.Put(c.rowBase + 2, c.columnBase + 1, COleVariant(OLESTR("first")));
            cells.Put(c.rowBase + 2, c.columnBase + 1, COleVariant(OLESTR("last")));  // frees "first"
            COleVariant kept(LONG{7});
            const LONG outside[][2] = {{c.rowBase - 1, c.columnBase}, {c.rowBase + 3, c.columnBase},
                                       {c.rowBase, c.columnBase - 1}, {c.rowBase, c.columnBase + 2}};
            for (const auto& at : outside) {
                EXPECT_EQ(Raised([&] { cells.Put(at[0], at[1], std::move(kept)); }).Code(), DISP_E_BADINDEX);
                EXPECT_EQ(Raised([&] { (void)cells.At(at[0], at[1]); }).Code(), DISP_E_BADINDEX);
            }
            EXPECT_EQ(Describe(kept), "I4 7") << "a refused put leaves the value with its owner";
        }
        LONG at[] = {c.rowBase + 2, c.columnBase + 1};
        COleVariant got;
        grid.GetElement(at, &got);
        EXPECT_EQ(Describe(got), "'last'");
    }
    COleSafeArray bytes, none;
    bytes.CreateOneDim(VT_UI1, 4);
    EXPECT_EQ(Raised([&] { CVariantGrid cells(bytes); }).Code(), E_INVALIDARG);
    EXPECT_EQ(Raised([&] { CVariantGrid cells(none); }).Code(), E_INVALIDARG);
}

TEST_F(ArrayOwner, CopiesAndAssignmentsFromVariantsAreDeep) {
    COleSafeArray source;
    source.CreateOneDim(VT_VARIANT, 3);
    LONG at[] = {0};
    source.PutElement(at, COleVariant(OLESTR("a")));
    SAFEARRAY* sourceArray = source.parray;
    VARIANT holder = source;
    const COleVariant text(OLESTR("no array")), number(LONG{3});
    struct Case { VARIANT from; HRESULT raised; };
    const Case cases[] = {{source, S_OK}, {Of(VT_BYREF | VT_ARRAY | VT_VARIANT, &sourceArray), S_OK},
                          {Of(VT_BYREF | VT_VARIANT, &holder), S_OK}, {text, E_INVALIDARG}, {number, E_INVALIDARG}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.vt);
        COleSafeArray target;
        target.CreateOneDim(VT_I4, 4);
        SAFEARRAY* before = target.parray;
        HRESULT raised = S_OK;
        try { target = c.from; } catch (const ComponentError& e) { raised = e.Code(); }
        EXPECT_EQ(raised, c.raised);
        if (SUCCEEDED(raised)) target.PutElement(at, COleVariant(OLESTR("b")));  // changes the copy only
        EXPECT_EQ(target.parray == before, FAILED(c.raised)) << "a failed assignment keeps the array";
        EXPECT_EQ(target.GetCount(1), SUCCEEDED(c.raised) ? 3 : 4);
    }
    COleSafeArray copy(source);
    copy.PutElement(at, COleVariant(OLESTR("c")));
    COleVariant original;
    source.GetElement(at, &original);
    EXPECT_EQ(Describe(original), "'a'");
}

const IID IID_IFakeChart = {0x5a1c0e21, 0x7d4b, 0x4f0e, {0x9a, 0x11, 0x2c, 0x3d, 0x4e, 0x5f, 0x60, 0x71}};
constexpr InterfaceId kChart{"IFakeChart", &IID_IFakeChart};

// The runtime calls this fill-in as stdcall: on 32-bit Windows a lambda would convert only to a cdecl pointer.
HRESULT STDMETHODCALLTYPE FillInLater(EXCEPINFO* later) {
    later->scode = CTL_E_SETNOTSUPPORTED, later->bstrDescription = SysAllocString(OLESTR("filled later"));
    return S_OK;
}

// The callee's EXCEPINFO strings are the caller's to free: the fixture checks.
TEST_F(DriverCall, ConvertsResultsAndRaisesTheCalleesCodeAndText) {
    struct Case { HRESULT answer; std::function<void(EXCEPINFO&)> raise; HRESULT code; OleString description; };
    const Case cases[] = {
        {E_FAIL, nullptr, E_FAIL, DescribeResult(E_FAIL)},
        {DISP_E_EXCEPTION,
         [](EXCEPINFO& e) {
             e.scode = DISP_E_BADINDEX, e.bstrSource = SysAllocString(OLESTR("chart"));
             e.bstrDescription = SysAllocString(OLESTR("no row"));
         },
         DISP_E_BADINDEX, OLESTR("no row")},
        {DISP_E_EXCEPTION, [](EXCEPINFO& e) { e.wCode = 1001; }, DISP_E_EXCEPTION, DescribeResult(DISP_E_EXCEPTION)},
        {DISP_E_EXCEPTION, [](EXCEPINFO& e) { e.pfnDeferredFillIn = FillInLater; }, CTL_E_SETNOTSUPPORTED,
         OLESTR("filled later")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.description));
        FakeObject chart({}, c.answer);
        chart.raise = c.raise;
        const ComponentError e = Raised([&] { DispatchDriver(&chart, kChart).PutProperty(3, COleVariant()); });
        EXPECT_EQ(e.Code(), c.code) << e.what();
        EXPECT_TRUE(std::string_view(e.what()).ends_with(" [IFakeChart " + GuidToString(IID_IFakeChart) + "]")) << e.what();
        EXPECT_EQ(e.Description(), c.description);
        const DispatchResult quiet = DispatchDriver(&chart, kChart).TryInvoke(3, DISPATCH_PROPERTYGET, {});
        EXPECT_EQ(quiet.hr, c.answer);
    }
    EXPECT_EQ(Raised([] { DispatchDriver(nullptr, kChart).GetProperty(1); }).Code(), E_POINTER);
    FakeObject chart(COleVariant(OLESTR("many")).Detach());
    const DispatchDriver driver(&chart, kChart);
    const std::vector<VARIANT> tooMany(17, COleVariant());
    EXPECT_EQ(Raised([&] { driver.CallMethod(1, tooMany); }).Code(), E_INVALIDARG);
    EXPECT_TRUE(chart.calls.empty());
    EXPECT_EQ(Raised([&] { (void)driver.CallMethod(1, {}, VT_I4); }).Code(), DISP_E_TYPEMISMATCH);
}

}  // namespace
