// The COleControl dispatch boundary, driven through IDispatch as a host
// drives it: refusals, argument conversion, calling conventions and the
// translation of everything member code raises.
#include <new>
#include <stdexcept>
#include <string>

#include "FrameworkTestSupport.h"
#include "platform/DispatchDriver.h"
#include "platform/OleControl.h"

namespace {

const IID IID_ITestControl = {0x0c7e1a52, 0x33f0, 0x4b8d, {0x8e, 0x61, 0x1f, 0x20, 0x31, 0x42, 0x53, 0x64}};
int destroyed = 0;

enum : DISPID { kNumber = 1, kTable, kText, kFlag, kCombine = 10, kFail, kTwice };

OleString Digits(long n) {
    const std::string digits = std::to_string(n);
    return OleString(digits.begin(), digits.end());
}

// Members record what reached them, so a test can tell whether they ran.
class TestControl : public COleControl {
public:
    TestControl() { SetInitialDispIID(IID_ITestControl); }
    LONG number = 0;
    SHORT flag = 0;
    IDispatch* table = nullptr;
    mutable int runs = 0;

private:
    ~TestControl() override { ++destroyed; }
    LONG GetNumber() const { return Ran(number); }
    void SetNumber(LONG v) { number = Ran(v); }
    void SetTable(IDispatch* v) { table = Ran(v); }
    BSTR GetText() const { return Ran(SysAllocString(OLESTR("text"))); }
    SHORT GetFlag() const { return Ran(flag); }
    void SetFlag(SHORT v) { flag = Ran(v); }
    LONG Twice(LONG v) const { return Ran(2 * v); }
    // Joins its arguments, so the order in which they arrived shows.
    BSTR Combine(LONG n, BSTR s, SHORT b, IDispatch* d) {
        table = Ran(d);
        const OleString text = Digits(n) + OLESTR(",") + OleString(s, SysStringLen(s)) + OLESTR(",") + Digits(b);
        return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    void Fail(LONG how) {
        ++runs;
        if (how == 1) RaiseError(DISP_E_BADINDEX, {}, OLESTR("row 9 is missing"));
        if (how == 2) throw std::bad_alloc();
        if (how == 3) throw std::runtime_error("broken");
        throw 42;
    }
    template <class T>
    T Ran(T value) const {
        ++runs;
        return value;
    }

    std::span<const DispEntry> GetDispatchMap() const override {
        static const DispEntry map[] = {
            DispProperty<&TestControl::GetNumber, &TestControl::SetNumber>("Number", kNumber, VT_I4),
            DispPropertyPutOnly<&TestControl::SetTable>("Table", kTable, VT_DISPATCH),
            DispPropertyGetOnly<&TestControl::GetText>("Text", kText, VT_BSTR),
            DispProperty<&TestControl::GetFlag, &TestControl::SetFlag>("Flag", kFlag, VT_BOOL),
            DispMethod<&TestControl::Combine>("Combine", kCombine, VT_BSTR, {VT_I4, VT_BSTR, VT_BOOL, VT_DISPATCH}),
            DispMethod<&TestControl::Fail>("Fail", kFail, VT_EMPTY, {VT_I4}),
            DispMethod<&TestControl::Twice>("Twice", kTwice, VT_I4, {VT_I4}),
        };
        return map;
    }
};

// One Invoke as a host makes it, with the arguments given first parameter
// first and laid out the way Invoke receives them.
struct Call {
    HRESULT hr;
    COleVariant result;
    EXCEPINFO info{};
    UINT argErr = 99;
    ~Call() {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
};

void Invoke(IDispatch& target, Call& call, DISPID id, WORD flags, const std::vector<COleVariant>& args = {},
            std::vector<DISPID> named = {}) {
    std::vector<VARIANT> laidOut(args.rbegin(), args.rend());
    DISPPARAMS params{laidOut.data(), named.data(), static_cast<UINT>(args.size()), static_cast<UINT>(named.size())};
    EXPECT_NO_THROW(call.hr = target.Invoke(id, IID_NULL, 0, flags, &params, &call.result, &call.info, &call.argErr));
}

constexpr WORD kGet = DISPATCH_PROPERTYGET, kPut = DISPATCH_PROPERTYPUT, kMethod = DISPATCH_METHOD;

class ControlBoundary : public LeakChecked {
protected:
    void TearDown() override {
        control->Release();
        LeakChecked::TearDown();
    }
    TestControl* control = new TestControl;
};

TEST_F(ControlBoundary, RefusedAccessRaisesBeforeAnyArgumentIsRead) {
    struct Case {
        const char* name;
        DISPID id;
        WORD flags;
        std::vector<COleVariant> args;
        std::vector<DISPID> named;
        HRESULT scode;
        OleString description;
    };
    const Case cases[] = {
        {"read put-only", kTable, kGet, {}, {}, CTL_E_GETNOTSUPPORTED, OLESTR("Property is write-only")},
        {"script read put-only", kTable, kGet | kMethod, {}, {}, CTL_E_GETNOTSUPPORTED, OLESTR("Property is write-only")},
        {"read put-only with arguments", kTable, kGet, {COleVariant(OLESTR("x"))}, {}, CTL_E_GETNOTSUPPORTED,
         OLESTR("Property is write-only")},
        {"write get-only", kText, kPut, {COleVariant(OLESTR("x"))}, {DISPID_PROPERTYPUT}, CTL_E_SETNOTSUPPORTED,
         OLESTR("Property is read-only")},
        {"write get-only without a value", kText, DISPATCH_PROPERTYPUTREF, {}, {}, CTL_E_SETNOTSUPPORTED,
         OLESTR("Property is read-only")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Call call;
        Invoke(*control, call, c.id, c.flags, c.args, c.named);
        EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(call.info.scode, c.scode);
        EXPECT_EQ(OleString(call.info.bstrDescription), c.description);
        EXPECT_EQ(OleString(call.info.bstrSource), OLESTR("TesselAdapter"));
        EXPECT_EQ(call.result.vt, VT_EMPTY);
    }
    EXPECT_EQ(control->runs, 0);
}

TEST_F(ControlBoundary, MalformedCallsFailWithThePlatformsCodes) {
    const COleVariant one(LONG{1});
    struct Case {
        const char* name;
        DISPID id;
        WORD flags;
        std::vector<COleVariant> args;
        std::vector<DISPID> named;
        HRESULT hr;
    };
    const Case cases[] = {
        {"unknown member", 99, kGet, {}, {}, DISP_E_MEMBERNOTFOUND},
        {"put without the named argument", kNumber, kPut, {one}, {}, DISP_E_PARAMNOTFOUND},
        {"put with another named argument", kNumber, kPut, {one}, {7}, DISP_E_PARAMNOTFOUND},
        {"put with an index", kNumber, kPut, {one, one}, {DISPID_PROPERTYPUT}, DISP_E_BADPARAMCOUNT},
        {"get with an argument", kNumber, kGet, {one}, {}, DISP_E_BADPARAMCOUNT},
        {"property called as a method", kNumber, kMethod, {}, {}, DISP_E_MEMBERNOTFOUND},
        {"method read as a property", kTwice, kGet, {one}, {}, DISP_E_MEMBERNOTFOUND},
        {"method assigned to", kTwice, kPut, {one}, {DISPID_PROPERTYPUT}, DISP_E_MEMBERNOTFOUND},
        {"too few arguments", kTwice, kMethod, {}, {}, DISP_E_BADPARAMCOUNT},
        {"too many arguments", kTwice, kMethod, {one, one}, {}, DISP_E_BADPARAMCOUNT},
        {"named argument", kTwice, kMethod, {one}, {0}, DISP_E_NONAMEDARGS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Call call;
        Invoke(*control, call, c.id, c.flags, c.args, c.named);
        EXPECT_EQ(call.hr, c.hr);
    }
    EXPECT_EQ(control->runs, 0);
}

TEST_F(ControlBoundary, ArgumentsAreConvertedAsDispGetParamDoes) {
    LONG referenced = 77;
    COleVariant text(OLESTR(" (12) "));
    VARIANT referencedText = ByRef(static_cast<VARIANT*>(&text));
    VARIANT null;
    null.vt = VT_NULL;
    struct Case {
        const char* name;
        DISPID id;
        COleVariant value;
        HRESULT hr;
        LONG stored;
    };
    const Case cases[] = {
        {"number", kNumber, COleVariant(LONG{5}), S_OK, 5},
        {"short", kNumber, COleVariant(SHORT{-4}), S_OK, -4},
        {"text", kNumber, COleVariant(OLESTR("1,000")), S_OK, 1000},
        {"fraction rounds half to even", kNumber, COleVariant(2.5), S_OK, 2},
        {"long by reference", kNumber, ByRef(&referenced), S_OK, 77},
        {"text by reference", kNumber, referencedText, S_OK, -12},
        {"not a number", kNumber, COleVariant(OLESTR("12abc")), DISP_E_TYPEMISMATCH, 0},
        {"too large", kNumber, COleVariant(OLESTR("3000000000")), DISP_E_OVERFLOW, 0},
        {"null", kNumber, null, DISP_E_TYPEMISMATCH, 0},
        {"flag from text", kFlag, COleVariant(OLESTR("TRUE")), S_OK, VARIANT_TRUE},
        {"flag from number", kFlag, COleVariant(LONG{5}), S_OK, VARIANT_TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        control->number = control->flag = 0;
        Call call;
        Invoke(*control, call, c.id, kPut, {c.value}, {DISPID_PROPERTYPUT});
        EXPECT_EQ(call.hr, c.hr);
        EXPECT_EQ(c.id == kFlag ? control->flag : control->number, c.stored);
        if (FAILED(c.hr)) {
            EXPECT_EQ(call.argErr, 0u);
        }
    }
    EXPECT_EQ(TextOf(text), OLESTR(" (12) "));  // the caller's value is not touched
}

TEST_F(ControlBoundary, MethodsReceiveParametersInDeclaredOrder) {
    FakeDispatch table;
    COleVariant name(OLESTR("row"));
    Call call;
    Invoke(*control, call, kCombine, kMethod,
           {COleVariant(OLESTR("7")), name, COleVariant(SHORT{1}, VT_BOOL), COleVariant(&table)});
    EXPECT_EQ(call.hr, S_OK);
    EXPECT_EQ(TextOf(call.result), OLESTR("7,row,-1"));

    // A bad third parameter sits at rgvarg[1] of four.
    Call bad;
    Invoke(*control, bad, kCombine, kMethod, {COleVariant(LONG{1}), name, name, COleVariant(&table)});
    EXPECT_EQ(bad.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bad.argErr, 1u);
    EXPECT_EQ(control->table, &table);  // from the first call only
    EXPECT_EQ(table.refs, 1u);
}

TEST_F(ControlBoundary, GettersAnswerInTheDeclaredType) {
    control->number = 31;
    control->flag = 1;
    struct Case {
        DISPID id;
        WORD flags;
        std::vector<COleVariant> args;
        VARTYPE vt;
        LONG value;
    };
    const Case cases[] = {
        {kNumber, kGet, {}, VT_I4, 31},
        {kNumber, kGet | kMethod, {}, VT_I4, 31},
        {kFlag, kGet, {}, VT_BOOL, VARIANT_TRUE},
        {kTwice, kMethod, {COleVariant(OLESTR("4"))}, VT_I4, 8},
        {kTwice, kGet | kMethod, {COleVariant(LONG{5})}, VT_I4, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "member " << c.id << " flags " << c.flags);
        Call call;
        Invoke(*control, call, c.id, c.flags, c.args);
        EXPECT_EQ(call.hr, S_OK);
        EXPECT_EQ(call.result.vt, c.vt);
        EXPECT_EQ(c.vt == VT_BOOL ? call.result.boolVal : call.result.lVal, c.value);
    }
    // Without a place for the result the string is released (the fixture checks).
    DISPPARAMS none{};
    EXPECT_EQ(control->Invoke(kText, IID_NULL, 0, kGet, &none, nullptr, nullptr, nullptr), S_OK);
}

TEST_F(ControlBoundary, WhateverMemberCodeRaisesBecomesAnException) {
    struct Case {
        LONG how;
        HRESULT scode;
        OleString description;
    };
    const Case cases[] = {
        {1, DISP_E_BADINDEX, OLESTR("row 9 is missing")},
        {2, E_OUTOFMEMORY, OLESTR("std::bad_alloc")},
        {3, E_UNEXPECTED, OLESTR("broken")},
        {4, E_UNEXPECTED, OLESTR("Unexpected error")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Call call;
        Invoke(*control, call, kFail, kMethod, {COleVariant(c.how)});
        EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
        EXPECT_EQ(call.info.scode, c.scode);
        EXPECT_EQ(call.info.wCode, 0);
        EXPECT_EQ(OleString(call.info.bstrDescription), c.description);
        EXPECT_EQ(OleString(call.info.bstrSource), OLESTR("TesselAdapter"));
    }
    COleVariant how(LONG{1});
    DISPPARAMS params{&how, nullptr, 1, 0};
    EXPECT_EQ(control->Invoke(kFail, IID_NULL, 0, kMethod, &params, nullptr, nullptr, nullptr), DISP_E_EXCEPTION);
}

TEST_F(ControlBoundary, DriverSeesTheControlsErrorsAsComponentErrors) {
    const DispatchDriver driver(control, {"ITestControl", &IID_ITestControl});
    driver.PutProperty(kNumber, COleVariant(OLESTR("17")));
    EXPECT_EQ(TextOf(driver.GetProperty(kNumber, VT_BSTR)), OLESTR("17"));
    ComponentError e = Raised([&] { driver.GetProperty(kTable); });
    EXPECT_EQ(e.Code(), CTL_E_GETNOTSUPPORTED);
    EXPECT_EQ(e.Description(), OLESTR("Property is write-only"));
}

TEST_F(ControlBoundary, NamesAndInterfaces) {
    struct Case {
        std::vector<const OLECHAR*> names;
        HRESULT hr;
        std::vector<DISPID> ids;
    };
    const Case cases[] = {
        {{OLESTR("Number")}, S_OK, {kNumber}},
        {{OLESTR("cOMBINE")}, S_OK, {kCombine}},
        {{OLESTR("Numbers")}, DISP_E_UNKNOWNNAME, {DISPID_UNKNOWN}},
        {{OLESTR("Combine"), OLESTR("n")}, DISP_E_UNKNOWNNAME, {kCombine, DISPID_UNKNOWN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(OleString(c.names[0])));
        std::vector<DISPID> ids(c.names.size(), 1234);
        auto names = const_cast<LPOLESTR*>(c.names.data());
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, static_cast<UINT>(ids.size()), 0, ids.data()), c.hr);
        EXPECT_EQ(ids, c.ids);
    }

    const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &IID_ITestControl, &other}) {
        void* answer = &answer;
        HRESULT hr = control->QueryInterface(*iid, &answer);
        EXPECT_EQ(hr, iid == &other ? E_NOINTERFACE : S_OK);
        EXPECT_EQ(answer, iid == &other ? nullptr : static_cast<IDispatch*>(control));
    }
    for (ULONG left : {3u, 2u, 1u}) EXPECT_EQ(control->Release(), left);  // one per answer above
    UINT count = 9;
    EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST(ControlLifetime, TheLastReleaseDestroysTheControl) {
    const int before = destroyed;
    IDispatch* control = new TestControl;
    EXPECT_EQ(control->AddRef(), 2u);
    EXPECT_EQ(control->Release(), 1u);
    EXPECT_EQ(destroyed, before);
    EXPECT_EQ(control->Release(), 0u);
    EXPECT_EQ(destroyed, before + 1);
}

}  // namespace
