// The automation API as the platform provides it, the layer's portable helpers and, off Windows, its class registry.
#include <string_view>
#include <vector>

#include "../PlatformTest.h"
#include "platform/CRuntime.h"
#include "platform/ComponentError.h"
#include "platform/Guid.h"
#ifndef _WIN32
#include "platform/posix/ClassRegistry.h"
#endif

namespace {

typedef LeakChecked StringTest, VariantTest, SafeArrayTest, ChangeTypeTest, PortableTest;

TEST_F(StringTest, AllocationsKeepLengthPrefixAndTerminator) {
    static const OLECHAR kEmbedded[] = {'a', 0, 'b'};
    struct Case { BSTR text; UINT byteLength; const void* bytes; };
    const Case cases[] = {{SysAllocString(OLESTR("Test")), 8, OLESTR("Test")}, {SysAllocString(kEmbedded), 2, kEmbedded},
                          {SysAllocStringLen(kEmbedded, 3), 6, kEmbedded}, {SysAllocStringLen(nullptr, 0), 0, ""},
                          {SysAllocStringByteLen("Tes", 3), 3, "Tes"}};  // SysAllocString stops at the NUL
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byteLength);
        ExpectLaidOut(c.text, c.byteLength, c.bytes);
        SysFreeString(c.text);
    }
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysAllocStringByteLen("x", 0xFFFFFFFF), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

// A byte's character in Windows-1252: itself, but for 0x80-0x9F (an undefined byte there is its C1 control).
WCHAR Windows1252(int byte) {
    static const WCHAR high[] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : static_cast<WCHAR>(byte);
}

// Every character outside the code page must miss the table lookups, whatever slot it lands in. Windows would
// first look for a similar letter (U+0100 becomes 'A'); asked not to, it gives the default for the same ones.
TEST_F(StringTest, CodePageIsWindows1252AndEveryOtherCharacterBecomesTheDefault) {
#ifdef _WIN32
    constexpr DWORD kExact = WC_NO_BEST_FIT_CHARS;
#else
    constexpr DWORD kExact = 0;
#endif
    std::vector<bool> inCodePage(0x10000, false);
    for (int byte = 0; byte < 256; ++byte) {
        const WCHAR expected = Windows1252(byte);
        const char narrow = static_cast<char>(byte);
        WCHAR wide = 0;
        char back = 0;
        SCOPED_TRACE(byte);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1), 1);
        EXPECT_EQ(wide, expected);
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, &expected, 1, &back, 1, nullptr, nullptr), 1);
        EXPECT_EQ(back, narrow);
        inCodePage[expected] = true;
    }
    int wrong = 0;
    for (int c = 0; c < 0x10000; ++c) {
        if (inCodePage[c]) continue;
        const WCHAR wide = static_cast<WCHAR>(c);
        char byte = 'x';
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, kExact, &wide, 1, &byte, 1, nullptr, &usedDefault);
        if ((n != 1 || byte != '?' || usedDefault != TRUE) && ++wrong <= 5)
            ADD_FAILURE() << "U+" << std::hex << c << " gave " << int(byte);
    }
    EXPECT_EQ(wrong, 0);
    const WCHAR missing[] = {'a', 0x4E00, 0x0394, 'z'}, fine[] = {'a', 0x20AC, 0xE9};
    char bytes[5] = "xxxx";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, missing, 3, bytes, 4, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(bytes), "a??x") << "a given length adds no NUL";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "-1 counts the NUL";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3) << "a given length: no NUL";
    // The flag is cleared when every character had its byte, set by a size query too.
    BOOL usedDefault = TRUE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, fine, 3, bytes, 3, nullptr, &usedDefault), 3);
    EXPECT_EQ(usedDefault, FALSE);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, missing, 2, nullptr, 0, nullptr, &usedDefault), 2);
    EXPECT_EQ(usedDefault, TRUE);
}

// VariantCopy duplicates what a variant owns and shares references; VariantCopyInd follows one; both clear first.
TEST_F(VariantTest, CopiesAreDeepAndClearFreesWhatIsOwned) {
    FakeObject object;
    IDispatch* objectPointer = &object;
    LONG number = 42;
    BSTR text = SysAllocString(OLESTR("abc")), unowned = nullptr;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    VARIANT inner = Of(VT_I4, nullptr), innerReference = Of(VT_BYREF | VT_VARIANT, &inner);
    inner.lVal = 7;
    struct Case { decltype(&VariantCopy) copy; VARIANT source; HRESULT expected; std::string value; };
    // A NULL string copies as an empty one; VariantCopy copies a reference without following it.
    // Not const: the system headers declare the sources of both copies without const.
    Case cases[] = {
        {VariantCopy, Of(VT_BSTR, text), S_OK, "'abc'"}, {VariantCopy, Of(VT_BSTR, nullptr), S_OK, "''"},
        {VariantCopy, Of(VT_ARRAY | VT_UI1, array), S_OK, "vt 8209"}, {VariantCopy, Of(VT_DISPATCH, objectPointer), S_OK, "vt 9"},
        {VariantCopy, Of(VT_BYREF | VT_BSTR, &unowned), S_OK, "vt 16392"},
        {VariantCopyInd, Of(VT_BYREF | VT_I4, &number), S_OK, "I4 42"}, {VariantCopyInd, Of(VT_BYREF | VT_BSTR, &text), S_OK, "'abc'"},
        {VariantCopyInd, Of(VT_BYREF | VT_VARIANT, &inner), S_OK, "I4 7"},
        {VariantCopyInd, Of(VT_BYREF | VT_VARIANT, &innerReference), E_INVALIDARG, "EMPTY"},
        {VariantCopyInd, Of(VT_BYREF | VT_DISPATCH, &objectPointer), S_OK, "vt 9"},
        {VariantCopyInd, Of(VT_BYREF | VT_ARRAY | VT_UI1, &array), S_OK, "vt 8209"},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.value);
        VARIANT copy = Of(VT_BSTR, SysAllocString(OLESTR("cleared first"))), inPlace = c.source;
        EXPECT_EQ(c.copy(&copy, &c.source), c.expected);
        EXPECT_EQ(Describe(copy), c.value);
        EXPECT_NE(copy.bstrVal, text) << "strings are duplicated";
        EXPECT_NE(copy.parray, array) << "arrays are duplicated";
        EXPECT_EQ(object.references, copy.vt == VT_DISPATCH ? 2u : 1u);
        EXPECT_EQ(VariantClear(&copy), S_OK);
        EXPECT_EQ(copy.vt, VT_EMPTY);
        // In place, a copy changes nothing and CopyInd replaces the reference by its value.
        EXPECT_EQ(c.copy(&inPlace, &inPlace), c.expected);
        EXPECT_EQ(Describe(inPlace), c.copy == VariantCopy ? Describe(c.source) : c.value);
        if (c.copy == VariantCopyInd) VariantClear(&inPlace);
    }
    EXPECT_EQ(object.references, 1u);
    SysFreeString(text);
    SafeArrayDestroy(array);
    VARIANT invalid = Of(VT_BYREF | VT_EMPTY, nullptr), copy{};
    EXPECT_EQ(VariantClear(&invalid), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantCopy(&copy, &invalid), DISP_E_BADVARTYPE);
}

TEST_F(SafeArrayTest, BoundsIndicesAndLocks) {
    SAFEARRAYBOUND bounds[] = {{3, 1}, {2, -4}};  // bounds[0] is dimension 1
    SAFEARRAY *array = SafeArrayCreate(VT_I2, 2, bounds), *empty = SafeArrayCreateVector(VT_I4, 5, 0);
    struct Bound { SAFEARRAY* array; UINT dim; HRESULT expected; LONG lower = 0, upper = 0; };
    for (const Bound& c : {Bound{array, 1, S_OK, 1, 3}, {array, 2, S_OK, -4, -3}, {empty, 1, S_OK, 5, 4},
                           {array, 0, DISP_E_BADINDEX}, {array, 3, DISP_E_BADINDEX}}) {
        LONG lower = 0, upper = 0;
        EXPECT_EQ(SafeArrayGetLBound(c.array, c.dim, &lower), c.expected) << c.dim;
        EXPECT_EQ(SafeArrayGetUBound(c.array, c.dim, &upper), c.expected) << c.dim;
        EXPECT_EQ(std::pair(lower, upper), std::pair(c.lower, c.upper)) << c.dim;
    }
    // Dimension 1 varies fastest: cell = (i - 1) + 3 * (j + 4).
    struct Case { LONG index[2]; HRESULT expected; int cell = -1; };
    Case cases[] = {{{1, -4}, S_OK, 0}, {{2, -4}, S_OK, 1}, {{1, -3}, S_OK, 3}, {{3, -3}, S_OK, 5}, {{0, -4}, DISP_E_BADINDEX},
                    {{4, -4}, DISP_E_BADINDEX}, {{1, -5}, DISP_E_BADINDEX}, {{1, -2}, DISP_E_BADINDEX}};
    for (Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index[0] << "," << c.index[1]);
        SHORT value = static_cast<SHORT>(100 + c.cell), got = 0;
        EXPECT_EQ(SafeArrayPutElement(array, c.index, &value), c.expected);
        EXPECT_EQ(SafeArrayGetElement(array, c.index, &got), c.expected);
        if (SUCCEEDED(c.expected)) {  // the cell written and the copy read back
            EXPECT_EQ(std::pair(static_cast<SHORT*>(array->pvData)[c.cell], got), std::pair(value, value));
        }
    }
    LONG bound = 0;
    EXPECT_EQ(SafeArrayPutElement(nullptr, cases[0].index, &bound), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetElement(array, nullptr, &bound), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &bound), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, nullptr), E_INVALIDARG);
    void* data = nullptr;
    EXPECT_EQ(SafeArrayAccessData(empty, &data), S_OK) << "even with no elements";
    EXPECT_EQ(SafeArrayDestroy(empty), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(empty), S_OK);
    for (SAFEARRAY* done : {array, empty, static_cast<SAFEARRAY*>(nullptr)}) EXPECT_EQ(SafeArrayDestroy(done), S_OK);
}

// A zero bound empties an array however large the others; a product beyond memory is refused.
TEST_F(SafeArrayTest, SizeIsTheProductOfAllBounds) {
    struct Case { ULONG first, second; bool made; };
    for (const Case& c : {Case{0, 500150011, true}, {500150011, 0, true}, {0, 0, true}, {100000, 100000, false}}) {
        // Wine multiplies the bounds in 32 bits: it makes a far smaller array
        // than asked for, and destroying it clears cells past its end.
        if (!c.made && RunningUnderWine()) continue;
        SAFEARRAYBOUND bounds[] = {{c.first, 0}, {c.second, 0}};
        SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
        EXPECT_EQ(array != nullptr, c.made) << c.first << " x " << c.second;
        if (!array) continue;
        LONG upper = 0;
        EXPECT_EQ(SafeArrayGetUBound(array, 2, &upper), S_OK);
        EXPECT_EQ(upper, static_cast<LONG>(c.second) - 1);
        EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    }
}

// Elements go in and out as copies (objects AddRef'd), SafeArrayCopy is deep; the live counts catch stale values.
TEST_F(SafeArrayTest, ElementsAreCopiesAndCopiesAreDeep) {
    FakeObject object;
    VARIANT items[] = {Of(VT_BSTR, SysAllocString(OLESTR("inner"))), Of(VT_ARRAY | VT_BSTR, SafeArrayCreateVector(VT_BSTR, 0, 1)),
                       Of(VT_DISPATCH, static_cast<IDispatch*>(&object))};
    SAFEARRAY* outer = SafeArrayCreateVector(VT_VARIANT, 1, 3);
    for (LONG at = 1; at <= 3; ++at) {  // the second put clears the first put's copy
        EXPECT_EQ(SafeArrayPutElement(outer, &at, &items[0]), S_OK);
        EXPECT_EQ(SafeArrayPutElement(outer, &at, &items[at - 1]), S_OK);
    }
    LONG at = 1;
    VARIANT got = Of(0xFFFF, nullptr);  // GetElement ignores what the destination held
    EXPECT_EQ(SafeArrayGetElement(outer, &at, &got), S_OK);
    EXPECT_EQ(Describe(got), "'inner'");
    EXPECT_NE(got.bstrVal, items[0].bstrVal);
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(outer, &copy), S_OK);
    const VARIANT *original = static_cast<VARIANT*>(outer->pvData), *copied = static_cast<VARIANT*>(copy->pvData);
    EXPECT_NE(copied[0].bstrVal, original[0].bstrVal);
    EXPECT_NE(copied[1].parray, original[1].parray);
    EXPECT_EQ(object.references, 3u);
    at = 0;
    OLECHAR stale[] = OLESTR("x");  // a string array's GetElement must not free what the destination held
    BSTR fetched = stale;
    EXPECT_EQ(SafeArrayGetElement(items[1].parray, &at, &fetched), S_OK);
    EXPECT_EQ(fetched, nullptr) << "an unset string";
    for (VARIANT* v : {&got, &items[0], &items[1]}) VariantClear(v);
    for (SAFEARRAY* array : {copy, outer}) SafeArrayDestroy(array);
    EXPECT_EQ(object.references, 1u);
    EXPECT_EQ(SafeArrayCopy(nullptr, &copy), S_OK);
    EXPECT_EQ(copy, nullptr);
}

// A source as a table states it; its string is allocated per case.
struct Source { VARTYPE vt; double number = 0; const OLECHAR* text = nullptr; };
Source Num(VARTYPE vt, double number) { return {vt, number}; }
#define T(text) Source{VT_BSTR, 0, OLESTR(text)}

VARIANT Make(const Source& source) {
    VARIANT v{};
    v.vt = source.vt;
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
            if (FAILED(hr)) {
                EXPECT_EQ(result.vt, VT_EMPTY) << "a failure leaves the destination alone";
            }
            hr = VariantChangeType(&source, &source, g.flags, g.vt);
            EXPECT_EQ(Outcome(hr, source), outcome);
            EXPECT_EQ(Describe(source), SUCCEEDED(hr) ? outcome : before);
            for (VARIANT* v : {&result, &source}) VariantClear(v);
        }
    }
    // Byte arrays hold a string's UTF-16 bytes; a null reference does not convert.
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

TEST_F(ChangeTypeTest, ObjectsGiveTheirDefaultValue) {
    struct Case { Source value; HRESULT invoke; VARTYPE vt; std::string outcome; USHORT flags = 0; };
    const Case cases[] = {
        {Num(VT_I4, 7), S_OK, VT_BSTR, "'7'"}, {T("12"), S_OK, VT_I4, "I4 12"},
        {T("abc"), S_OK, VT_I4, "MISMATCH"}, {Num(VT_I4, 7), DISP_E_MEMBERNOTFOUND, VT_BSTR, "MISMATCH"},
        {Num(VT_I4, 7), S_OK, VT_BSTR, "MISMATCH", VARIANT_NOVALUEPROP}, {Num(VT_I4, 7), S_OK, VT_UNKNOWN, "vt 13"},
        {{VT_DISPATCH}, S_OK, VT_BSTR, "MISMATCH"},  // the object answers itself
    };
    for (const Case& c : cases) {
        // Wine asks the answer for its default value again until the stack overflows.
        if (c.value.vt == VT_DISPATCH && RunningUnderWine()) continue;
        SCOPED_TRACE(c.outcome);
        FakeObject object(Make(c.value), c.invoke);
        if (c.value.vt == VT_DISPATCH) object.value.pdispVal = &object;
        VARIANT source = Of(VT_DISPATCH, static_cast<IDispatch*>(&object)), result{};
        EXPECT_EQ(Outcome(VariantChangeType(&result, &source, c.flags, c.vt), result), c.outcome);
        VariantClear(&result);
        EXPECT_EQ(object.references, 1u);
        for (const auto& call : object.calls) {  // asked for its default value, and nothing else
            EXPECT_EQ(call.id, DISPID_VALUE);
            EXPECT_EQ(call.flags, DISPATCH_PROPERTYGET);
            EXPECT_EQ(call.args.size(), 0u);
        }
    }
}

const GUID kTable = {0xE56BC140, 0x229A, 0x11D0, {0xAC, 0x64, 0x08, 0x00, 0x09, 0xD2, 0x33, 0x06}};

TEST_F(PortableTest, AtoLReadsLikeThe32BitCLibrary) {
    using View = std::string_view;
    struct Case { View text; LONG value; SHORT cut; };
    const Case cases[] = {{"12", 12, 12}, {" \t\n\v\f\r-7x", -7, -7}, {"+42abc", 42, 42}, {"abc", 0, 0}, {"", 0, 0},
                          {"- 5", 0, 0}, {"--5", 0, 0}, {"70000", 70000, 4464}, {"9999999999", 2147483647, -1},
                          {"-2147483648", -2147483647 - 1, 0}, {"-99999999999999999999", -2147483647 - 1, 0},
                          // A field read in place ends where its view ends, digits after it or not.
                          {View("123", 2), 12, 12}, {View("-9", 1), 0, 0}, {View(" 7 8", 2), 7, 7},
                          {View("4\0" "5", 3), 4, 4}, {View(), 0, 0}, {View("99999999999", 11), 2147483647, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(AtoL(c.text), c.value);
        EXPECT_EQ(Cut16(AtoL(c.text)), c.cut);
    }
    // A wide text is read whole, however long the blanks or zeros before its
    // digits, and digits run on across the pieces it is narrowed in.
    for (const auto& [text, value] : {std::pair{OleString(200, ' ') + OLESTR("-42x"), -42},
                                      {OleString(300, '0') + OLESTR("7"), 7}, {OleString(63, ' ') + OLESTR("1234"), 1234},
                                      {OLESTR("12") + OleString(100, ' ') + OLESTR("3"), 12}, {OleString(), 0}})
        EXPECT_EQ(AtoL(text.data(), static_cast<UINT>(text.size())), value) << text.size();
}

TEST_F(PortableTest, GuidTextErrorTextAndTheClassRegistry) {
    struct Case { HRESULT code; InterfaceId where; OleString description; std::string what; };
    const Case cases[] = {
        {E_POINTER, {"IHostTable", &kTable}, {},
         "0x80004003 Invalid pointer [IHostTable {E56BC140-229A-11D0-AC64-080009D23306}]"},
        {static_cast<HRESULT>(0x80041234), {}, {}, "0x80041234 Error 0x80041234"},
        {E_FAIL, {}, OLESTR("Caf\u00E9 \u20AC"), "0x80004005 Caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& c : cases) EXPECT_EQ(ComponentError(c.code, c.where, c.description).what(), c.what);
#ifndef _WIN32  // the process's class registry creates only registered classes
    FakeObject object;
    platform::RegisterClassFactory(kTable, [&](REFIID riid, void** ppv) { return object.QueryInterface(riid, ppv); });
    void* made = nullptr;
    EXPECT_EQ(CoCreateInstance(kTable, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, &made), S_OK);
    EXPECT_EQ(made, static_cast<IDispatch*>(&object)) << "any server context";
    EXPECT_EQ(CoCreateInstance(kTable, &object, CLSCTX_INPROC_SERVER, IID_IDispatch, &made), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(made, nullptr) << "reset on failure";
    platform::UnregisterClassFactory(kTable);
    EXPECT_EQ(CoCreateInstance(kTable, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &made), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object.references, 2u) << "the one object made";
#endif
}

}  // namespace
