#include "ApiTest.h"

namespace {

class ChangeTypeTest : public ApiTest {};

constexpr HRESULT kMismatch = DISP_E_TYPEMISMATCH;
constexpr HRESULT kOverflow = DISP_E_OVERFLOW;

// A source as a table states it; its string is allocated per case.
struct Source {
    VARTYPE vt;
    double number = 0;
    const OLECHAR* text = nullptr;
};
Source Num(VARTYPE vt, double number) { return {vt, number}; }
#define T(text) Source{VT_BSTR, 0, OLESTR(text)}

VARIANT Make(const Source& source) {
    VARIANT v;
    v.vt = source.vt;
    v.llVal = 0;
    switch (source.vt) {
    case VT_I2: case VT_BOOL: v.iVal = static_cast<SHORT>(source.number); break;
    case VT_I4: case VT_ERROR: v.lVal = static_cast<LONG>(source.number); break;
    case VT_UI1: v.bVal = static_cast<BYTE>(source.number); break;
    case VT_R8: v.dblVal = source.number; break;
    case VT_BSTR: v.bstrVal = SysAllocString(source.text); break;
    default: break;
    }
    return v;
}

struct Case {
    Source source;
    VARTYPE vt;
    HRESULT expected;
    std::string value = "EMPTY";  // what a failure leaves in the destination
    USHORT flags = 0;
};

const Case kCases[] = {
    // To text.
    {{VT_EMPTY}, VT_BSTR, S_OK, "BSTR \"\""}, {{VT_NULL}, VT_BSTR, kMismatch}, {T(""), VT_BSTR, S_OK, "BSTR \"\""},
    {{VT_BSTR}, VT_BSTR, S_OK, "BSTR \"\""}, {Num(VT_I2, -5), VT_BSTR, S_OK, "BSTR \"-5\""},
    {Num(VT_I4, -12), VT_BSTR, S_OK, "BSTR \"-12\""}, {Num(VT_UI1, 200), VT_BSTR, S_OK, "BSTR \"200\""},
    {Num(VT_BOOL, -1), VT_BSTR, S_OK, "BSTR \"-1\""},
    {Num(VT_BOOL, -1), VT_BSTR, S_OK, "BSTR \"True\"", VARIANT_ALPHABOOL},
    {Num(VT_BOOL, 0), VT_BSTR, S_OK, "BSTR \"False\"", VARIANT_ALPHABOOL},
    {Num(VT_R8, 1.5), VT_BSTR, S_OK, "BSTR \"1.5\""}, {Num(VT_R8, 1e20), VT_BSTR, S_OK, "BSTR \"1E+20\""},
    {Num(VT_R8, 1e-5), VT_BSTR, S_OK, "BSTR \"1E-05\""}, {Num(VT_R8, -0.0), VT_BSTR, S_OK, "BSTR \"0\""},
    {Num(VT_R8, 2.0 / 3), VT_BSTR, S_OK, "BSTR \"0.666666666666667\""},
    {Num(VT_R8, 123456789012345678.0), VT_BSTR, S_OK, "BSTR \"1.23456789012346E+17\""},
    {Num(VT_ERROR, 0), VT_BSTR, kMismatch},
    // Text to numbers.
    {T("12"), VT_I4, S_OK, "I4 12"}, {T(" 12"), VT_I4, S_OK, "I4 12"}, {T("12 "), VT_I4, S_OK, "I4 12"},
    {T("\t\u00A012\r\n"), VT_I4, S_OK, "I4 12"}, {T("-12"), VT_I4, S_OK, "I4 -12"}, {T("+7"), VT_I4, S_OK, "I4 7"},
    {T("12-"), VT_I4, S_OK, "I4 -12"}, {T("(12)"), VT_I4, S_OK, "I4 -12"}, {T("1,000"), VT_I4, S_OK, "I4 1000"},
    {T("$12"), VT_I4, S_OK, "I4 12"}, {T("1e3"), VT_I4, S_OK, "I4 1000"}, {T("&H10"), VT_I4, S_OK, "I4 16"},
    {T("&o17"), VT_I4, S_OK, "I4 15"}, {T("&HFFFFFFFF"), VT_I4, S_OK, "I4 -1"},
    {T("&H80000000"), VT_I4, S_OK, "I4 -2147483648"}, {T("&HFFFF"), VT_I4, S_OK, "I4 65535"},
    {T("12.5"), VT_I4, S_OK, "I4 12"}, {T("12.4"), VT_I4, S_OK, "I4 12"}, {T("13.5"), VT_I4, S_OK, "I4 14"},
    {T("1.5E-1"), VT_R8, S_OK, "R8 0.150000"}, {T("12abc"), VT_I4, kMismatch}, {T(""), VT_I4, kMismatch},
    {T(" "), VT_I4, kMismatch}, {T("0x10"), VT_I4, kMismatch}, {T("(12"), VT_I4, kMismatch},
    {T("-12-"), VT_I4, kMismatch}, {T("1e"), VT_I4, kMismatch}, {{VT_BSTR}, VT_I4, kMismatch},
    {T("3000000000"), VT_I4, kOverflow}, {T("&H100000000"), VT_I4, kOverflow}, {T("1e400"), VT_R8, kOverflow},
    {T("-32768"), VT_I2, S_OK, "I2 -32768"}, {T("70000"), VT_I2, kOverflow}, {T("&HFFFF"), VT_I2, S_OK, "I2 -1"},
    {T("&H8000"), VT_I2, S_OK, "I2 -32768"}, {T("&H10000"), VT_I2, kOverflow}, {T("255"), VT_UI1, S_OK, "UI1 255"},
    {T("-1"), VT_UI1, kOverflow},
    // To VT_BOOL.
    {T("true"), VT_BOOL, S_OK, "BOOL -1"}, {T("FALSE"), VT_BOOL, S_OK, "BOOL 0"},
    {T("#TRUE#"), VT_BOOL, S_OK, "BOOL -1"}, {T("#FALSE#"), VT_BOOL, S_OK, "BOOL 0"},
    {T("#True#"), VT_BOOL, kMismatch}, {T("On"), VT_BOOL, kMismatch}, {T("Yes"), VT_BOOL, kMismatch},
    {T(" true"), VT_BOOL, kMismatch}, {T("0.1"), VT_BOOL, S_OK, "BOOL -1"}, {T("&H0"), VT_BOOL, S_OK, "BOOL 0"},
    {Num(VT_I4, 2), VT_BOOL, S_OK, "BOOL -1"}, {{VT_EMPTY}, VT_BOOL, S_OK, "BOOL 0"},
    // Between numbers; fractions round half to even.
    {Num(VT_R8, 2.5), VT_I4, S_OK, "I4 2"}, {Num(VT_R8, 3.5), VT_I4, S_OK, "I4 4"},
    {Num(VT_R8, -2.5), VT_I4, S_OK, "I4 -2"}, {Num(VT_R8, 0.5), VT_I4, S_OK, "I4 0"},
    {Num(VT_R8, 2147483647.5), VT_I4, kOverflow}, {Num(VT_R8, -2147483648.5), VT_I4, S_OK, "I4 -2147483648"},
    {{VT_EMPTY}, VT_I4, S_OK, "I4 0"}, {{VT_NULL}, VT_I4, kMismatch}, {Num(VT_ERROR, 0), VT_I4, kMismatch},
    {Num(VT_BOOL, -1), VT_I4, S_OK, "I4 -1"}, {Num(VT_BOOL, -1), VT_UI1, S_OK, "UI1 255"},
    {Num(VT_I4, 70000), VT_I2, kOverflow}, {Num(VT_I4, -1), VT_UI1, kOverflow},
    {Num(VT_R8, -0.5), VT_UI1, S_OK, "UI1 0"}, {Num(VT_I2, -3), VT_R8, S_OK, "R8 -3.000000"},
    // To nothing, objects and invalid types.
    {Num(VT_UI1, 7), VT_EMPTY, S_OK}, {{VT_NULL}, VT_EMPTY, kMismatch}, {Num(VT_I4, 7), VT_NULL, S_OK, "NULL"},
    {{VT_EMPTY}, VT_DISPATCH, kMismatch}, {Num(VT_I4, 1), VT_VOID, DISP_E_BADVARTYPE},
    {{15}, VT_I4, DISP_E_BADVARTYPE},
};

TEST_F(ChangeTypeTest, ConvertsAsThePlatformDoes) {
    for (const Case& c : kCases) {
        VARIANT source = Make(c.source);
        const std::string before = Describe(source);
        SCOPED_TRACE(before + " to vt " + std::to_string(c.vt));
        VARIANT reference;  // the same value reached through a reference
        reference.vt = VT_BYREF | VT_VARIANT;
        reference.pvarVal = &source;
        for (VARIANT* from : {&source, &reference}) {
            VARIANT result{};
            EXPECT_EQ(Hex(VariantChangeType(&result, from, c.flags, c.vt)), Hex(c.expected));
            EXPECT_EQ(Describe(result), c.value);
            VariantClear(&result);
        }
        // In place gives the same; a failure leaves the value as it was.
        EXPECT_EQ(Hex(VariantChangeType(&source, &source, c.flags, c.vt)), Hex(c.expected));
        EXPECT_EQ(Describe(source), SUCCEEDED(c.expected) ? c.value : before);
        VariantClear(&source);
    }
}

TEST_F(ChangeTypeTest, TypedAndNullReferences) {
    BSTR text = SysAllocString(OLESTR("-9"));
    VARIANT reference, result{};
    reference.vt = VT_BYREF | VT_BSTR;
    reference.pbstrVal = &text;
    EXPECT_EQ(Hex(VariantChangeType(&result, &reference, 0, VT_I4)), Hex(S_OK));
    EXPECT_EQ(Describe(result), "I4 -9");
    EXPECT_EQ(Narrow(text), "-9");
    reference.pbstrVal = nullptr;
    EXPECT_EQ(Hex(VariantChangeType(&result, &reference, 0, VT_I4)), Hex(kMismatch));
    EXPECT_EQ(Describe(result), "I4 -9") << "unchanged on failure";
    SysFreeString(text);
}

TEST_F(ChangeTypeTest, ObjectsGiveTheirDefaultValue) {
    const struct {
        Source value;
        HRESULT invoke;
        VARTYPE vt;
        HRESULT expected;
        std::string result;
        USHORT flags = 0;
    } cases[] = {
        {Num(VT_I4, 7), S_OK, VT_BSTR, S_OK, "BSTR \"7\""},
        {T("12"), S_OK, VT_I4, S_OK, "I4 12"},
        {T("abc"), S_OK, VT_I4, kMismatch, "EMPTY"},
        {Num(VT_I4, 7), DISP_E_MEMBERNOTFOUND, VT_BSTR, kMismatch, "EMPTY"},
        {Num(VT_I4, 7), S_OK, VT_BSTR, kMismatch, "EMPTY", VARIANT_NOVALUEPROP},
        {Num(VT_I4, 7), S_OK, VT_UNKNOWN, S_OK, "vt 13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        ValueObject object(Make(c.value), c.invoke);
        VARIANT source, result;
        source.vt = VT_DISPATCH;
        source.pdispVal = &object;
        VariantInit(&result);
        EXPECT_EQ(Hex(VariantChangeType(&result, &source, c.flags, c.vt)), Hex(c.expected));
        EXPECT_EQ(Describe(result), c.result);
        if (!object.lastCall.empty()) {
            EXPECT_EQ(object.lastCall, "member 0 flags 2 args 0") << "a property get of DISPID_VALUE";
        }
        VariantClear(&result);
        EXPECT_EQ(object.references, 1u);
    }
    VARIANT nothing, result;
    nothing.vt = VT_DISPATCH;
    nothing.pdispVal = nullptr;
    VariantInit(&result);
    EXPECT_EQ(Hex(VariantChangeType(&result, &nothing, 0, VT_BSTR)), Hex(DISP_E_BADVARTYPE));
}

TEST_F(ChangeTypeTest, ByteArraysAreRawStringBytes) {
    VARIANT text = Make(T("Hi")), bytes, back;
    VariantInit(&bytes);
    VariantInit(&back);
    EXPECT_EQ(Hex(VariantChangeType(&bytes, &text, 0, VT_ARRAY | VT_UI1)), Hex(S_OK));
    EXPECT_EQ(bytes.parray ? bytes.parray->rgsabound[0].cElements : 0u, 4u);
    EXPECT_EQ(Hex(VariantChangeType(&back, &bytes, 0, VT_BSTR)), Hex(S_OK));
    EXPECT_EQ(Describe(back), "BSTR \"Hi\"");
    VARIANT variants;  // any other array does not convert
    variants.vt = VT_ARRAY | VT_VARIANT;
    variants.parray = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    EXPECT_EQ(Hex(VariantChangeType(&variants, &variants, 0, VT_BSTR)), Hex(kMismatch));
    for (VARIANT* v : {&text, &bytes, &back, &variants}) VariantClear(v);
}

}  // namespace
