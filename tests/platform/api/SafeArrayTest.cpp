#include "ApiTest.h"

namespace {

using SafeArrayTest = ApiTest;

TEST_F(SafeArrayTest, BoundsIndicesAndLocks) {
    SAFEARRAYBOUND bounds[] = {{3, 1}, {2, -4}};  // bounds[0] is dimension 1
    SAFEARRAY *array = SafeArrayCreate(VT_I2, 2, bounds), *empty = SafeArrayCreateVector(VT_I4, 5, 0);
    struct Bound { SAFEARRAY* array; UINT dim; HRESULT expected; LONG lower = 0, upper = 0; };
    for (const Bound& c : {Bound{array, 1, S_OK, 1, 3}, {array, 2, S_OK, -4, -3}, {empty, 1, S_OK, 5, 4},
                           {array, 0, DISP_E_BADINDEX}, {array, 3, DISP_E_BADINDEX}}) {
        LONG lower = 0, upper = 0;
        EXPECT_EQ(SafeArrayGetLBound(c.array, c.dim, &lower), c.expected) << c.dim;
        EXPECT_EQ(SafeArrayGetUBound(c.array, c.dim, &upper), c.expected) << c.dim;
        EXPECT_TRUE(lower == c.lower && upper == c.upper) << c.dim << ": " << lower << ".." << upper;
    }
    // Dimension 1 varies fastest: cell = (i - 1) + 3 * (j + 4).
    struct Case { LONG index[2]; HRESULT expected; int cell = -1; };
    Case cases[] = {{{1, -4}, S_OK, 0}, {{2, -4}, S_OK, 1}, {{1, -3}, S_OK, 3}, {{3, -3}, S_OK, 5},
                    {{0, -4}, DISP_E_BADINDEX}, {{4, -4}, DISP_E_BADINDEX}, {{1, -5}, DISP_E_BADINDEX},
                    {{1, -2}, DISP_E_BADINDEX}};
    for (Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index[0] << "," << c.index[1]);
        SHORT value = static_cast<SHORT>(100 + c.cell), got = 0;
        EXPECT_EQ(SafeArrayPutElement(array, c.index, &value), c.expected);
        EXPECT_EQ(SafeArrayGetElement(array, c.index, &got), c.expected);
        EXPECT_TRUE(FAILED(c.expected) || (static_cast<SHORT*>(array->pvData)[c.cell] == value && got == value));
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

// Variants and strings go in and come out as copies, objects are AddRef'd;
// SafeArrayCopy is deep. The live counts catch an old value left uncleared.
TEST_F(SafeArrayTest, ElementsAreCopiesAndCopiesAreDeep) {
    ValueObject object;
    VARIANT items[] = {Of(VT_BSTR, SysAllocString(OLESTR("inner"))),
                       Of(VT_ARRAY | VT_BSTR, SafeArrayCreateVector(VT_BSTR, 0, 1)),
                       Of(VT_DISPATCH, static_cast<IDispatch*>(&object))};
    SAFEARRAY* outer = SafeArrayCreateVector(VT_VARIANT, 1, 3);
    for (LONG at = 1; at <= 3; ++at) {
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
    EXPECT_TRUE(copied[0].bstrVal != original[0].bstrVal && copied[1].parray != original[1].parray);
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

}  // namespace
