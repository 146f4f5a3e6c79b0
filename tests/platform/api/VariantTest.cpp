#include "ApiTest.h"

namespace {

using VariantTest = ApiTest;

// VariantCopy duplicates what a variant owns and shares references;
// VariantCopyInd follows one reference. Both clear the destination first.
TEST_F(VariantTest, CopiesAreDeepAndClearFreesWhatIsOwned) {
    ValueObject object;
    IDispatch* objectPointer = &object;
    LONG number = 42;
    BSTR text = SysAllocString(OLESTR("abc")), unowned = nullptr;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    VARIANT inner = Of(VT_I4, nullptr), innerReference = Of(VT_BYREF | VT_VARIANT, &inner);
    inner.lVal = 7;
    struct Case { decltype(&VariantCopy) copy; VARIANT source; HRESULT expected; std::string value; };
    const Case cases[] = {
        {VariantCopy, Of(VT_BSTR, text), S_OK, "'abc'"},
        {VariantCopy, Of(VT_BSTR, nullptr), S_OK, "''"},  // a NULL string copies as an empty one
        {VariantCopy, Of(VT_ARRAY | VT_UI1, array), S_OK, "vt 8209"},
        {VariantCopy, Of(VT_DISPATCH, objectPointer), S_OK, "vt 9"},
        {VariantCopy, Of(VT_BYREF | VT_BSTR, &unowned), S_OK, "vt 16392"},  // a reference is copied, not followed
        {VariantCopyInd, Of(VT_BYREF | VT_I4, &number), S_OK, "I4 42"},
        {VariantCopyInd, Of(VT_BYREF | VT_BSTR, &text), S_OK, "'abc'"},
        {VariantCopyInd, Of(VT_BYREF | VT_VARIANT, &inner), S_OK, "I4 7"},
        {VariantCopyInd, Of(VT_BYREF | VT_VARIANT, &innerReference), E_INVALIDARG, "EMPTY"},
        {VariantCopyInd, Of(VT_BYREF | VT_DISPATCH, &objectPointer), S_OK, "vt 9"},
        {VariantCopyInd, Of(VT_BYREF | VT_ARRAY | VT_UI1, &array), S_OK, "vt 8209"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        VARIANT copy = Of(VT_BSTR, SysAllocString(OLESTR("cleared first"))), inPlace = c.source;
        EXPECT_EQ(c.copy(&copy, &c.source), c.expected);
        EXPECT_EQ(Describe(copy), c.value);
        EXPECT_TRUE(copy.bstrVal != text && copy.parray != array) << "strings and arrays are duplicated";
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

}  // namespace
