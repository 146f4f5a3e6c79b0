#include "ApiTest.h"

namespace {

class SafeArrayTest : public ApiTest {};

TEST_F(SafeArrayTest, ElementTypesAndSizes) {
    const struct {
        VARTYPE vt;
        UINT size;  // 0: the type cannot be an element
    } cases[] = {{VT_VARIANT, sizeof(VARIANT)}, {VT_BSTR, sizeof(BSTR)}, {VT_UI1, 1}, {VT_I2, 2}, {VT_I4, 4},
                 {VT_BOOL, 2}, {VT_R8, 8}, {VT_DISPATCH, sizeof(void*)}, {VT_UNKNOWN, sizeof(void*)},
                 {VT_EMPTY, 0}, {VT_NULL, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vt);
        SAFEARRAY* array = SafeArrayCreateVector(c.vt, 0, 3);
        ASSERT_EQ(array != nullptr, c.size != 0);
        VARTYPE vt = 0;
        EXPECT_EQ(Hex(SafeArrayGetVartype(array, &vt)), Hex(array ? S_OK : E_INVALIDARG));
        EXPECT_EQ(vt, array ? c.vt : 0);
        EXPECT_EQ(SafeArrayGetElemsize(array), c.size);
        EXPECT_EQ(Hex(SafeArrayDestroy(array)), Hex(S_OK));
    }
}

TEST_F(SafeArrayTest, BoundsPerDimension) {
    SAFEARRAYBOUND bounds[] = {{3, 1}, {0, 5}, {2, -4}};  // bounds[0] is dimension 1
    SAFEARRAY* array = SafeArrayCreate(VT_I4, 3, bounds);
    ASSERT_NE(array, nullptr);
    const struct {
        UINT dim;
        HRESULT expected;
        LONG lower, upper;
    } cases[] = {{1, S_OK, 1, 3}, {2, S_OK, 5, 4}, {3, S_OK, -4, -3}, {0, DISP_E_BADINDEX, 0, 0},
                 {4, DISP_E_BADINDEX, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dim);
        LONG lower = 0, upper = 0;
        EXPECT_EQ(Hex(SafeArrayGetLBound(array, c.dim, &lower)), Hex(c.expected));
        EXPECT_EQ(Hex(SafeArrayGetUBound(array, c.dim, &upper)), Hex(c.expected));
        EXPECT_EQ(lower, c.lower);
        EXPECT_EQ(upper, c.upper);
    }
    LONG bound = 0;
    EXPECT_EQ(Hex(SafeArrayGetLBound(nullptr, 1, &bound)), Hex(E_INVALIDARG));
    EXPECT_EQ(Hex(SafeArrayGetUBound(array, 1, nullptr)), Hex(E_INVALIDARG));
    void* data = nullptr;
    EXPECT_EQ(Hex(SafeArrayAccessData(array, &data)), Hex(S_OK)) << "even with no elements";
    EXPECT_EQ(Hex(SafeArrayDestroy(array)), Hex(DISP_E_ARRAYISLOCKED));
    EXPECT_EQ(Hex(SafeArrayUnaccessData(array)), Hex(S_OK));
    EXPECT_EQ(Hex(SafeArrayDestroy(array)), Hex(S_OK));
    EXPECT_EQ(Hex(SafeArrayDestroy(nullptr)), Hex(S_OK));
}

TEST_F(SafeArrayTest, IndicesAreCheckedAndDimensionOneVariesFastest) {
    SAFEARRAYBOUND bounds[] = {{3, 1}, {2, 10}};
    SAFEARRAY* array = SafeArrayCreate(VT_I2, 2, bounds);
    const struct {
        LONG i, j;
        HRESULT expected;
        int cell = -1;
    } cases[] = {{1, 10, S_OK, 0}, {2, 10, S_OK, 1}, {1, 11, S_OK, 3}, {3, 11, S_OK, 5},
                 {0, 10, DISP_E_BADINDEX}, {4, 10, DISP_E_BADINDEX}, {1, 9, DISP_E_BADINDEX}, {1, 12, DISP_E_BADINDEX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.i) + "," + std::to_string(c.j));
        LONG index[] = {c.i, c.j};
        SHORT value = static_cast<SHORT>(100 + c.cell);
        EXPECT_EQ(Hex(SafeArrayPutElement(array, index, &value)), Hex(c.expected));
        value = 0;
        EXPECT_EQ(Hex(SafeArrayGetElement(array, index, &value)), Hex(c.expected));
        if (SUCCEEDED(c.expected)) {
            EXPECT_EQ(static_cast<SHORT*>(array->pvData)[c.cell], value);
        }
    }
    LONG index[] = {1, 10};
    SHORT value = 0;
    EXPECT_EQ(Hex(SafeArrayPutElement(nullptr, index, &value)), Hex(E_INVALIDARG));
    EXPECT_EQ(Hex(SafeArrayGetElement(array, nullptr, &value)), Hex(E_INVALIDARG));
    SafeArrayDestroy(array);
}

TEST_F(SafeArrayTest, ElementsAreCopiesAndCopiesAreDeep) {
    ValueObject object(VARIANT{});
    VARIANT items[3], got;
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(OLESTR("inner"));
    items[1].vt = VT_ARRAY | VT_BSTR;
    items[1].parray = SafeArrayCreateVector(VT_BSTR, 0, 1);
    items[2].vt = VT_DISPATCH;
    items[2].pdispVal = &object;
    SAFEARRAY* outer = SafeArrayCreateVector(VT_VARIANT, 1, 3);
    for (LONG at = 1; at <= 3; ++at) {
        EXPECT_EQ(Hex(SafeArrayPutElement(outer, &at, &items[0])), Hex(S_OK));
        EXPECT_EQ(Hex(SafeArrayPutElement(outer, &at, &items[at - 1])), Hex(S_OK)) << "the old value is cleared";
    }
    LONG first = 1;
    got.vt = 0xFFFF;  // GetElement ignores what the destination held
    EXPECT_EQ(Hex(SafeArrayGetElement(outer, &first, &got)), Hex(S_OK));
    EXPECT_EQ(Describe(got), "BSTR \"inner\"");
    EXPECT_NE(got.bstrVal, items[0].bstrVal);
    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(Hex(SafeArrayCopy(outer, &copy)), Hex(S_OK));
    const VARIANT* original = static_cast<VARIANT*>(outer->pvData);
    const VARIANT* copied = static_cast<VARIANT*>(copy->pvData);
    EXPECT_NE(copied[0].bstrVal, original[0].bstrVal);
    EXPECT_NE(copied[1].parray, original[1].parray);
    EXPECT_EQ(object.references, 3u);
    for (VARIANT* v : {&got, &items[0], &items[1]}) VariantClear(v);
    for (SAFEARRAY* array : {copy, outer}) SafeArrayDestroy(array);
    EXPECT_EQ(object.references, 1u);
}

TEST_F(SafeArrayTest, StringAndObjectElements) {
    ValueObject object(VARIANT{});
    LONG at = 0;
    SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 1);
    OLECHAR stale[] = OLESTR("x");
    BSTR fetched = stale;
    EXPECT_EQ(Hex(SafeArrayGetElement(strings, &at, &fetched)), Hex(S_OK));
    EXPECT_EQ(fetched, nullptr) << "an unset string reads as NULL";
    EXPECT_EQ(Hex(SafeArrayPutElement(strings, &at, nullptr)), Hex(S_OK));
    EXPECT_EQ(Hex(SafeArrayGetElement(strings, &at, &fetched)), Hex(S_OK));
    EXPECT_EQ(Narrow(fetched), "") << "a NULL string is stored as an empty one";
    SysFreeString(fetched);
    SAFEARRAY* objects = SafeArrayCreateVector(VT_DISPATCH, 0, 1);
    IDispatch* out = nullptr;
    EXPECT_EQ(Hex(SafeArrayPutElement(objects, &at, static_cast<IDispatch*>(&object))), Hex(S_OK));
    EXPECT_EQ(Hex(SafeArrayGetElement(objects, &at, &out)), Hex(S_OK));
    EXPECT_EQ(object.references, 3u);
    out->Release();
    SAFEARRAY* none = objects;
    EXPECT_EQ(Hex(SafeArrayCopy(nullptr, &none)), Hex(S_OK));
    EXPECT_EQ(none, nullptr);
    for (SAFEARRAY* array : {strings, objects}) SafeArrayDestroy(array);
    EXPECT_EQ(object.references, 1u);
}

}  // namespace
