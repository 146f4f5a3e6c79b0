#include "ApiTest.h"

namespace {

using ChangeTypeTest = ApiTest;

// A source as a table states it; its string is allocated per case.
struct Source { VARTYPE vt; double number = 0; const OLECHAR* text = nullptr; };
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

// What a conversion gave: the value, or the name of the error.
std::string Outcome(HRESULT hr, const VARIANT& result) {
    if (SUCCEEDED(hr)) return Describe(result);
    return hr == DISP_E_TYPEMISMATCH ? "MISMATCH" : hr == DISP_E_OVERFLOW ? "OVERFLOW"
                                                   : hr == DISP_E_BADVARTYPE ? "BADVARTYPE" : std::to_string(hr);
}

// Conversions to one type; each row is a source and what it gives.
struct Group { VARTYPE vt; USHORT flags; std::vector<std::pair<Source, std::string>> rows; };

const Group kGroups[] = {
    {VT_BSTR, 0, {{{VT_EMPTY}, "''"}, {{VT_NULL}, "MISMATCH"}, {{VT_BSTR}, "''"}, {Num(VT_I2, -5), "'-5'"},
                  {Num(VT_I4, -12), "'-12'"}, {Num(VT_UI1, 200), "'200'"}, {Num(VT_BOOL, -1), "'-1'"},
                  {Num(VT_R8, 1.5), "'1.5'"}, {Num(VT_R8, 1e20), "'1E+20'"}, {Num(VT_R8, 1e-5), "'1E-05'"},
                  {Num(VT_R8, -0.0), "'0'"}, {Num(VT_R8, 2.0 / 3), "'0.666666666666667'"},
                  {Num(VT_R8, 123456789012345678.0), "'1.23456789012346E+17'"}, {Num(VT_ERROR, 0), "MISMATCH"},
                  {{VT_DISPATCH}, "BADVARTYPE"}}},  // a null object
    {VT_BSTR, VARIANT_ALPHABOOL, {{Num(VT_BOOL, -1), "'True'"}, {Num(VT_BOOL, 0), "'False'"}}},
    {VT_I4, 0, {{T(" 12"), "I4 12"}, {T("\t\u00A012\r\n"), "I4 12"}, {T("-12"), "I4 -12"}, {T("+7"), "I4 7"},
                {T("12-"), "I4 -12"}, {T("(12)"), "I4 -12"}, {T("1,000"), "I4 1000"}, {T("$12"), "I4 12"},
                {T("1e3"), "I4 1000"}, {T("&H10"), "I4 16"}, {T("&o17"), "I4 15"}, {T("&HFFFFFFFF"), "I4 -1"},
                {T("&H80000000"), "I4 -2147483648"}, {T("&HFFFF"), "I4 65535"}, {T("12.5"), "I4 12"},
                {T("13.5"), "I4 14"}, {T("12abc"), "MISMATCH"}, {T(""), "MISMATCH"}, {T(" "), "MISMATCH"},
                {T("0x10"), "MISMATCH"}, {T("(12"), "MISMATCH"}, {T("-12-"), "MISMATCH"}, {T("1e"), "MISMATCH"},
                {{VT_BSTR}, "MISMATCH"}, {T("3000000000"), "OVERFLOW"}, {T("&H100000000"), "OVERFLOW"},
                {Num(VT_R8, 2.5), "I4 2"}, {Num(VT_R8, 3.5), "I4 4"}, {Num(VT_R8, -2.5), "I4 -2"},
                {Num(VT_R8, 0.5), "I4 0"}, {Num(VT_R8, 2147483647.5), "OVERFLOW"},
                {Num(VT_R8, -2147483648.5), "I4 -2147483648"}, {{VT_EMPTY}, "I4 0"}, {{VT_NULL}, "MISMATCH"},
                {Num(VT_BOOL, -1), "I4 -1"}, {{15}, "BADVARTYPE"}}},
    {VT_I2, 0, {{T("-32768"), "I2 -32768"}, {T("70000"), "OVERFLOW"}, {T("&HFFFF"), "I2 -1"},
                {T("&H8000"), "I2 -32768"}, {T("&H10000"), "OVERFLOW"}, {Num(VT_I4, 70000), "OVERFLOW"}}},
    {VT_UI1, 0, {{T("-1"), "OVERFLOW"}, {Num(VT_BOOL, -1), "UI1 255"}, {Num(VT_R8, -0.5), "UI1 0"}}},
    {VT_R8, 0, {{T("1.5E-1"), "R8 0.150000"}, {T("1e400"), "OVERFLOW"}, {Num(VT_I2, -3), "R8 -3.000000"}}},
    {VT_BOOL, 0, {{T("tRUE"), "BOOL -1"}, {T("FALSE"), "BOOL 0"}, {T("#TRUE#"), "BOOL -1"}, {T("#FALSE#"), "BOOL 0"},
                  {T("#True#"), "MISMATCH"}, {T("On"), "MISMATCH"}, {T(" true"), "MISMATCH"}, {T("0.1"), "BOOL -1"},
                  {Num(VT_I4, 2), "BOOL -1"}, {{VT_EMPTY}, "BOOL 0"}}},
    {VT_EMPTY, 0, {{Num(VT_UI1, 7), "EMPTY"}, {{VT_NULL}, "MISMATCH"}}},
    {VT_NULL, 0, {{Num(VT_I4, 7), "vt 1"}}},
    {VT_DISPATCH, 0, {{{VT_EMPTY}, "MISMATCH"}}},
    {VT_VOID, 0, {{Num(VT_I4, 1), "BADVARTYPE"}}},
};

TEST_F(ChangeTypeTest, ConvertsAsThePlatformDoes) {
    for (const Group& g : kGroups) {
        for (const auto& [from, outcome] : g.rows) {
            VARIANT source = Make(from), reference = Of(VT_BYREF | VT_VARIANT, &source), result{};
            const std::string before = Describe(source);
            SCOPED_TRACE(before + " to vt " + std::to_string(g.vt));
            // Through a reference into an empty variant, then in place.
            HRESULT hr = VariantChangeType(&result, &reference, g.flags, g.vt);
            EXPECT_EQ(Outcome(hr, result), outcome);
            EXPECT_TRUE(SUCCEEDED(hr) || result.vt == VT_EMPTY) << "a failure leaves the destination alone";
            hr = VariantChangeType(&source, &source, g.flags, g.vt);
            EXPECT_EQ(Outcome(hr, source), outcome);
            EXPECT_EQ(Describe(source), SUCCEEDED(hr) ? outcome : before);
            for (VARIANT* v : {&result, &source}) VariantClear(v);
        }
    }
}

TEST_F(ChangeTypeTest, ObjectsGiveTheirDefaultValue) {
    struct Case { Source value; HRESULT invoke; VARTYPE vt; std::string outcome; USHORT flags = 0; };
    const Case cases[] = {
        {Num(VT_I4, 7), S_OK, VT_BSTR, "'7'"}, {T("12"), S_OK, VT_I4, "I4 12"},
        {T("abc"), S_OK, VT_I4, "MISMATCH"}, {Num(VT_I4, 7), DISP_E_MEMBERNOTFOUND, VT_BSTR, "MISMATCH"},
        {Num(VT_I4, 7), S_OK, VT_BSTR, "MISMATCH", VARIANT_NOVALUEPROP}, {Num(VT_I4, 7), S_OK, VT_UNKNOWN, "vt 13"},
        {{VT_DISPATCH}, S_OK, VT_BSTR, "MISMATCH"},  // the object answers itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outcome);
        ValueObject object(Make(c.value), c.invoke);
        if (c.value.vt == VT_DISPATCH) object.value.pdispVal = &object;
        VARIANT source = Of(VT_DISPATCH, static_cast<IDispatch*>(&object)), result{};
        EXPECT_EQ(Outcome(VariantChangeType(&result, &source, c.flags, c.vt), result), c.outcome);
        VariantClear(&result);
        EXPECT_EQ(object.references, 1u);
    }
}

TEST_F(ChangeTypeTest, ByteArraysAndNullReferences) {
    VARIANT text = Make(T("Hi")), bytes{}, back{};
    EXPECT_EQ(Outcome(VariantChangeType(&bytes, &text, 0, VT_ARRAY | VT_UI1), bytes), "vt 8209");
    EXPECT_EQ(Outcome(VariantChangeType(&back, &bytes, 0, VT_BSTR), back), "'Hi'");
    VARIANT variants = Of(VT_ARRAY | VT_VARIANT, SafeArrayCreateVector(VT_VARIANT, 0, 1));
    EXPECT_EQ(Outcome(VariantChangeType(&variants, &variants, 0, VT_BSTR), variants), "MISMATCH") << "no other array";
    VARIANT reference = Of(VT_BYREF | VT_BSTR, nullptr);
    EXPECT_EQ(Outcome(VariantChangeType(&back, &reference, 0, VT_I4), back), "MISMATCH");
    EXPECT_EQ(Describe(back), "'Hi'") << "unchanged on failure";
    for (VARIANT* v : {&text, &bytes, &back, &variants}) VariantClear(v);
}

}  // namespace
