#include "ApiTest.h"

namespace {

class VariantTest : public ApiTest {};

VARIANT Of(VARTYPE vt, void* value) {
    VARIANT v;
    v.vt = vt;
    v.byref = value;
    return v;
}

TEST_F(VariantTest, CopyIsDeepAndClearFreesWhatIsOwned) {
    ValueObject object(Of(VT_EMPTY, nullptr));
    BSTR unowned = nullptr;
    const struct {
        VARIANT source;
        std::string copied;
    } cases[] = {
        {Of(VT_BSTR, SysAllocString(OLESTR("abc"))), "BSTR \"abc\""},
        {Of(VT_BSTR, nullptr), "BSTR \"\""},  // a NULL string copies as an empty one
        {Of(VT_ARRAY | VT_I4, SafeArrayCreateVector(VT_I4, 0, 2)), "vt 8195"},
        {Of(VT_DISPATCH, static_cast<IDispatch*>(&object)), "vt 9"},
        {Of(VT_BYREF | VT_BSTR, &unowned), "vt 16392"},  // a reference is copied, not followed
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.copied);
        VARIANT copy = Of(VT_BSTR, SysAllocString(OLESTR("cleared first")));
        ASSERT_EQ(Hex(VariantCopy(&copy, &c.source)), Hex(S_OK));
        EXPECT_EQ(Describe(copy), c.copied);
        const bool shared = (c.source.vt & VT_BYREF) || c.source.vt == VT_DISPATCH;
        EXPECT_EQ(copy.byref == c.source.byref, shared) << "only references and objects are shared";
        EXPECT_EQ(object.references, c.source.vt == VT_DISPATCH ? 2u : 1u);
        EXPECT_EQ(Hex(VariantClear(&copy)), Hex(S_OK));
        EXPECT_EQ(copy.vt, VT_EMPTY);
        EXPECT_EQ(Hex(VariantCopy(&c.source, &c.source)), Hex(S_OK)) << "onto itself";
        if (c.source.vt != VT_DISPATCH) VariantClear(&c.source);
    }
    EXPECT_EQ(object.references, 1u);
}

TEST_F(VariantTest, InvalidTypesAreRefused) {
    const VARTYPE invalid[] = {15, VT_VOID, VT_BYREF | VT_EMPTY, VT_ARRAY | VT_NULL, 0x1000 | VT_I4, 0x8000 | VT_I4};
    for (VARTYPE vt : invalid) {
        SCOPED_TRACE(vt);
        VARIANT v = Of(vt, nullptr), copy;
        VariantInit(&copy);
        EXPECT_EQ(Hex(VariantClear(&v)), Hex(DISP_E_BADVARTYPE));
        EXPECT_EQ(Hex(VariantCopy(&copy, &v)), Hex(DISP_E_BADVARTYPE));
    }
}

TEST_F(VariantTest, CopyIndFollowsOneReference) {
    LONG number = 42;
    BSTR text = SysAllocString(OLESTR("abc"));
    ValueObject object(Of(VT_EMPTY, nullptr));
    IDispatch* objectPointer = &object;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 4);
    VARIANT inner = Of(VT_I4, nullptr);
    inner.lVal = 7;
    VARIANT innerReference = Of(VT_BYREF | VT_VARIANT, &inner);
    const struct {
        VARTYPE vt;
        void* target;
        HRESULT expected;
        std::string value;
    } cases[] = {
        {VT_I4, &number, S_OK, "I4 42"},
        {VT_BSTR, &text, S_OK, "BSTR \"abc\""},
        {VT_VARIANT, &inner, S_OK, "I4 7"},
        {VT_VARIANT, &innerReference, E_INVALIDARG, "EMPTY"},
        {VT_DISPATCH, &objectPointer, S_OK, "vt 9"},
        {VT_ARRAY | VT_UI1, &array, S_OK, "vt 8209"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        VARIANT reference = Of(VT_BYREF | c.vt, c.target), copy{};
        EXPECT_EQ(Hex(VariantCopyInd(&copy, &reference)), Hex(c.expected));
        EXPECT_EQ(Describe(copy), c.value);
        EXPECT_TRUE(copy.bstrVal != text && copy.parray != array) << "strings and arrays are duplicated";
        EXPECT_EQ(object.references, c.vt == VT_DISPATCH ? 2u : 1u);
        VariantClear(&copy);
        // In place, the reference is replaced by the value.
        EXPECT_EQ(Hex(VariantCopyInd(&reference, &reference)), Hex(c.expected));
        EXPECT_EQ(Describe(reference), c.value);
        VariantClear(&reference);
    }
    EXPECT_EQ(object.references, 1u);
    SysFreeString(text);
    SafeArrayDestroy(array);
}

}  // namespace
