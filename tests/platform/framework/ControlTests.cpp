// The COleControl dispatch boundary, driven through IDispatch as a host drives it.
#include <new>
#include <stdexcept>
#include <string>

#include "../PlatformTest.h"
#include "platform/OleControl.h"
#include "platform/OleVariant.h"

namespace {

const IID IID_ITestControl = {0x0c7e1a52, 0x33f0, 0x4b8d, {0x8e, 0x61, 0x1f, 0x20, 0x31, 0x42, 0x53, 0x64}};
int destroyed = 0;

enum : DISPID { kNumber = 1, kTable, kText, kCombine = 10, kFail };

class TestControl : public COleControl {
public:
    TestControl() { SetInitialDispIID(IID_ITestControl); }
    LONG number = 0;
    IDispatch* table = nullptr;

private:
    ~TestControl() override { ++destroyed; }
    LONG GetNumber() const { return number; }
    void SetNumber(LONG v) { number = v; }
    void SetTable(IDispatch* v) { table = v; }
    BSTR GetText() const { return SysAllocString(OLESTR("text")); }
    // Joins its arguments, so the order in which they arrived shows.
    BSTR Combine(LONG n, BSTR s, SHORT b, IDispatch* d) {
        table = d;
        const std::string text = std::to_string(n) + ',' + std::string(s, s + SysStringLen(s)) + ',' + std::to_string(b);
        return SysAllocString(OleString(text.begin(), text.end()).c_str());
    }
    void Fail(LONG how) {
        if (how == 1) RaiseError(DISP_E_BADINDEX, {}, OLESTR("row 9 is missing"));
        if (how == 2) throw std::bad_alloc();
        if (how == 3) throw std::runtime_error("broken");
        throw 42;
    }

    std::span<const DispEntry> GetDispatchMap() const override {
        static const DispEntry map[] = {
            DispProperty<&TestControl::GetNumber, &TestControl::SetNumber>("Number", kNumber, VT_I4),
            DispPropertyPutOnly<&TestControl::SetTable>("Table", kTable, VT_DISPATCH),
            DispPropertyGetOnly<&TestControl::GetText>("Text", kText, VT_BSTR),
            DispMethod<&TestControl::Combine>("Combine", kCombine, VT_BSTR, {{VT_I4, "n"}, {VT_BSTR, "s"}, {VT_BOOL, "b"}, {VT_DISPATCH, "d"}}),
            DispMethod<&TestControl::Fail>("Fail", kFail, VT_EMPTY, {{VT_I4, "how"}}),
        };
        return map;
    }
};

constexpr WORD kGet = DISPATCH_PROPERTYGET, kPut = DISPATCH_PROPERTYPUT, kMethod = DISPATCH_METHOD;

// One Invoke as a host makes it: arguments laid out last first; a put adds the named DISPID_PROPERTYPUT.
struct Call {
    Call(IDispatch& to, DISPID id, WORD flags, std::vector<COleVariant> args = {}, std::vector<DISPID> ids = {}) {
        if ((flags & kPut) && ids.empty()) ids = {DISPID_PROPERTYPUT};
        std::vector<VARIANT> laidOut(args.rbegin(), args.rend());
        DISPPARAMS params{laidOut.data(), ids.data(), static_cast<UINT>(args.size()), static_cast<UINT>(ids.size())};
        hr = to.Invoke(id, IID_NULL, 0, flags, &params, &result, &info, &argErr);
    }
    ~Call() { for (BSTR text : {info.bstrSource, info.bstrDescription, info.bstrHelpFile}) SysFreeString(text); }
    HRESULT hr;
    COleVariant result;
    EXCEPINFO info{};
    UINT argErr = 99;
};

OleString Text(BSTR text) { return OleString(text ? text : OLESTR(""), SysStringLen(text)); }

class ControlBoundary : public LeakChecked {
protected:
    void TearDown() override {
        const int before = destroyed;
        EXPECT_EQ(control->Release(), 0u) << "the control outlived the test";
        EXPECT_EQ(destroyed, before + 1) << "the control outlived the test";
        LeakChecked::TearDown();
    }
    TestControl* control = new TestControl;
};

// Refusals and what member code raises come back as DISP_E_EXCEPTION; malformed calls, as the platform's codes.
TEST_F(ControlBoundary, FailedCallsReportAndChangeNothing) {
    COleVariant one(LONG{1}), two(LONG{2}), three(LONG{3}), four(LONG{4});
    // A description means an exception carrying code; otherwise code is what Invoke returns.
    struct Case { DISPID id; WORD flags; std::vector<COleVariant> args; std::vector<DISPID> named; HRESULT code;
                  OleString description = {}; };
    const OleString writeOnly = OLESTR("Property is write-only"), readOnly = OLESTR("Property is read-only");
    // Unknown members and a method given too few or too many arguments: the malformed-call table.
    const Case cases[] = {
        {kTable, kGet, {}, {}, CTL_E_GETNOTSUPPORTED, writeOnly}, {kText, kPut, {one}, {}, CTL_E_SETNOTSUPPORTED, readOnly},
        {kTable, kGet | kMethod, {one}, {}, CTL_E_GETNOTSUPPORTED, writeOnly},
        {kText, DISPATCH_PROPERTYPUTREF, {}, {}, CTL_E_SETNOTSUPPORTED, readOnly},
        {kFail, kMethod, {one}, {}, DISP_E_BADINDEX, OLESTR("row 9 is missing")},
        {kFail, kMethod, {two}, {}, E_OUTOFMEMORY, OLESTR("std::bad_alloc")},
        {kFail, kMethod, {three}, {}, E_UNEXPECTED, OLESTR("broken")},
        {kFail, kMethod, {four}, {}, E_UNEXPECTED, OLESTR("Unexpected error")},
        {kNumber, kPut, {one}, {7}, DISP_E_PARAMNOTFOUND}, {kNumber, kPut, {one, one}, {}, DISP_E_BADPARAMCOUNT},
        {kNumber, kGet, {one}, {}, DISP_E_BADPARAMCOUNT},   {kNumber, kMethod, {}, {}, DISP_E_MEMBERNOTFOUND},
        {kFail, kGet, {one}, {}, DISP_E_MEMBERNOTFOUND},    {kFail, kPut, {one}, {}, DISP_E_MEMBERNOTFOUND},
        {kFail, kMethod, {one}, {-1}, DISP_E_PARAMNOTFOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "member " << c.id << " flags " << c.flags << " args " << c.args.size());
        const Call call(*control, c.id, c.flags, c.args, c.named);
        const bool raised = !c.description.empty();
        EXPECT_EQ(call.hr, raised ? DISP_E_EXCEPTION : c.code);
        EXPECT_EQ(std::pair(call.info.scode, call.info.wCode), (std::pair<SCODE, WORD>(raised ? c.code : 0, 0)));
        EXPECT_EQ(Text(call.info.bstrDescription), c.description);
        EXPECT_EQ(Text(call.info.bstrSource), raised ? OLESTR("TesselAdapter") : OLESTR(""));
        EXPECT_EQ(call.result.vt, VT_EMPTY);
    }
    EXPECT_EQ(std::pair(control->number, control->table), (std::pair<LONG, IDispatch*>(0, nullptr)));
    DISPPARAMS params{&one, nullptr, 1, 0};  // without EXCEPINFO the call still fails
    EXPECT_EQ(control->Invoke(kFail, IID_NULL, 0, kMethod, &params, nullptr, nullptr, nullptr), DISP_E_EXCEPTION);
}

// Conversion values are ChangeTypeTest's; failures and overflow, tests/control's.
TEST_F(ControlBoundary, ArgumentsAreConvertedAsDispGetParamDoesAndArriveInDeclaredOrder) {
    LONG referenced = 77;
    COleVariant text(OLESTR(" (12) "));
    struct Case { VARIANT value; HRESULT hr; LONG stored; };
    for (const Case& c : {Case{Of(VT_BYREF | VT_I4, &referenced), S_OK, 77}, {Of(VT_BYREF | VT_VARIANT, &text), S_OK, -12},
                          {Of(VT_BYREF | VT_I4, nullptr), DISP_E_TYPEMISMATCH, -12}}) {  // a failed put changes nothing
        const Call put(*control, kNumber, kPut, {COleVariant(c.value)});
        EXPECT_EQ(std::pair(put.hr, put.argErr), std::pair(c.hr, FAILED(c.hr) ? 0u : 99u));
        const Call get(*control, kNumber, kGet | kMethod);  // as script clients read
        EXPECT_EQ(std::pair(get.result.vt, get.result.lVal), std::pair(VARTYPE{VT_I4}, c.stored));
    }
    EXPECT_EQ(Describe(text), "' (12) '");  // the caller's value is not touched
    FakeObject table;
    const COleVariant name(OLESTR("row")), object(&table);
    // Script clients call methods as property gets too.
    const Call call(*control, kCombine, kGet | kMethod,
                    {COleVariant(OLESTR("7")), name, COleVariant(OLESTR("TRUE")), object});
    EXPECT_EQ(Describe(call.result), "'7,row,-1'") << call.hr;
    // A bad third parameter sits at rgvarg[1] of four.
    const Call bad(*control, kCombine, kMethod, {COleVariant(LONG{1}), name, name, object});
    EXPECT_EQ(std::pair(bad.hr, bad.argErr), std::pair(DISP_E_TYPEMISMATCH, 1u));
    EXPECT_EQ(control->table, &table);  // from the first call only
    EXPECT_EQ(table.references, 2u) << "only the variant holds a reference";
    // Without a place for the result, the string made is released (the fixture checks).
    DISPPARAMS none{};
    EXPECT_EQ(control->Invoke(kText, IID_NULL, 0, kGet, &none, nullptr, nullptr, nullptr), S_OK);
}

// Named arguments come first in rgvarg, their parameter's position as DISPID; positional ones fill the first ones.
TEST_F(ControlBoundary, NamedArgumentsTakeTheirParametersPlace) {
    FakeObject table;
    const COleVariant n(LONG{5}), s(OLESTR("row")), b(VARIANT_TRUE, VT_BOOL), d(&table);
    struct Case { std::vector<VARIANT> rgvarg; std::vector<DISPID> named; HRESULT hr; UINT argErr; };
    Case cases[] = {  // not const: DISPPARAMS points into them
        {{b, s, n, d}, {2, 1, 0, 3}, S_OK, 99},             // every argument by name, in any order
        {{d, b, s, n}, {3, 2}, S_OK, 99},                   // two by position, then two by name
        {{d, b, s, n}, {3, 1}, DISP_E_PARAMNOTFOUND, 1},    // the second parameter is already given
        {{d, b, s, n}, {3, 3}, DISP_E_PARAMNOTFOUND, 1},    // one name twice
        {{d, b, s, n}, {3, 4}, DISP_E_PARAMNOTFOUND, 1},    // no fifth parameter
        {{b, s, n}, {2, 1, 0}, DISP_E_BADPARAMCOUNT, 99},   // every parameter is required
    };
    for (Case& c : cases) {
        DISPPARAMS params{c.rgvarg.data(), c.named.data(), static_cast<UINT>(c.rgvarg.size()),
                          static_cast<UINT>(c.named.size())};
        COleVariant result;
        UINT argErr = 99;
        EXPECT_EQ(control->Invoke(kCombine, IID_NULL, 0, kMethod, &params, &result, nullptr, &argErr), c.hr);
        EXPECT_EQ(argErr, c.argErr);
        EXPECT_EQ(Describe(result), SUCCEEDED(c.hr) ? "'5,row,-1'" : "EMPTY");
    }
    EXPECT_EQ(control->table, &table);
}

TEST_F(ControlBoundary, NamesAndInterfaces) {
    struct Case { std::vector<const OLECHAR*> names; HRESULT hr; std::vector<DISPID> ids; };
    const Case cases[] = {
        {{OLESTR("cOMBINE"), OLESTR("D"), OLESTR("n")}, S_OK, {kCombine, 3, 0}},  // any letter case
        {{OLESTR("Combine"), OLESTR("how")}, DISP_E_UNKNOWNNAME, {kCombine, DISPID_UNKNOWN}},  // another's parameter
        {{OLESTR("Nothing"), OLESTR("n")}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN, DISPID_UNKNOWN}},
        {{OLESTR("Number"), OLESTR("n")}, DISP_E_UNKNOWNNAME, {kNumber, DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        std::vector<DISPID> ids(c.names.size(), 12345);
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(c.names.data()),
                                         static_cast<UINT>(c.names.size()), 0, ids.data()), c.hr);
        EXPECT_EQ(ids, c.ids);
    }
    const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_ITestControl, &other}) {
        void* answer = &answer;
        EXPECT_EQ(control->QueryInterface(*iid, &answer), iid == &other ? E_NOINTERFACE : S_OK);
        EXPECT_EQ(answer, iid == &other ? nullptr : static_cast<IDispatch*>(control)) << "set, or reset on failure";
    }
    for (ULONG left : {3u, 2u, 1u}) EXPECT_EQ(control->Release(), left);  // one per answer above
}

}  // namespace
