// Ownership rules of COleVariant and COleSafeArray: what is copied, what is
// moved, and what a failed operation leaves behind.
#include "FrameworkTestSupport.h"
#include "platform/OleSafeArray.h"

namespace {

using VariantOwner = LeakChecked;
using ArrayOwner = LeakChecked;

TEST_F(VariantOwner, CopiesAreDeepMovesTakeTheValueAndFailuresLeaveIt) {
    EXPECT_EQ(TextOf(COleVariant::FromAnsi("a\0b", 3)), OleString(OLESTR("a\0b"), 3));
    EXPECT_EQ(TextOf(COleVariant::FromAnsi("\x80\x81\x9f\xe9", 4)), OLESTR("\u20AC\u0081\u0178\u00E9"));
    COleVariant text(OLESTR("grid")), copy(text);
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    EXPECT_EQ(TextOf(copy), OLESTR("grid"));
    const BSTR owned = text.bstrVal;
    COleVariant moved(std::move(text));
    EXPECT_TRUE(moved.bstrVal == owned && text.vt == VT_EMPTY);
    copy = std::move(moved);  // frees the copy's own string
    EXPECT_EQ(copy.bstrVal, owned);
    FakeDispatch target;
    {
        COleVariant object(&target), another(object);
        EXPECT_EQ(target.refs, 3u);
    }
    EXPECT_EQ(target.refs, 1u);
    COleVariant number(OLESTR("12")), word(OLESTR("twelve"));
    number.ChangeType(VT_I4);
    EXPECT_TRUE(number.vt == VT_I4 && number.lVal == 12);
    EXPECT_EQ(Raised([&] { word.ChangeType(VT_I4); }).Code(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TextOf(word), OLESTR("twelve"));
}

const DWORD kGrid[] = {3, 2};  // 3 x 2 variants, as the converters build them

TEST_F(ArrayOwner, GridsStartEmptyAndTakeCopiesOrMovedValues) {
    COleSafeArray grid, empty;
    grid.Create(VT_VARIANT, 2, kGrid);
    EXPECT_TRUE(grid.vt == (VT_ARRAY | VT_VARIANT) && grid.GetDim() == 2u);
    LONG lower = -1, at[] = {1, 1}, outside[] = {3, 0};
    grid.GetLBound(2, &lower);
    EXPECT_TRUE(lower == 0 && grid.GetCount(1) == 3 && grid.GetCount(2) == 2);
    COleVariant kept(OLESTR("kept")), moved(OLESTR("moved")), got(LONG{9}), value(LONG{1});
    grid.GetElement(at, &got);  // the destination is taken as uninitialised
    EXPECT_EQ(got.vt, VT_EMPTY);
    grid.PutElement(at, &kept);
    EXPECT_EQ(TextOf(kept), OLESTR("kept"));
    const BSTR owned = moved.bstrVal;
    grid.PutElement(at, std::move(moved));  // replaces "kept" in place
    EXPECT_EQ(moved.vt, VT_EMPTY);
    VARIANT* cells = nullptr;
    grid.AccessData(reinterpret_cast<void**>(&cells));
    EXPECT_EQ(cells[1 + 1 * 3].bstrVal, owned);  // dimension 1 varies fastest
    grid.UnaccessData();
    // A failed move leaves the value with the caller.
    EXPECT_EQ(Raised([&] { grid.PutElement(outside, std::move(value)); }).Code(), DISP_E_BADINDEX);
    EXPECT_EQ(value.lVal, 1);
    EXPECT_FALSE(empty.HasArray());
    EXPECT_EQ(Raised([&] { empty.GetUBound(1, &lower); }).Code(), E_INVALIDARG);
}

TEST_F(ArrayOwner, CopiesAndAssignmentsFromVariantsAreDeep) {
    COleSafeArray source;
    source.Create(VT_VARIANT, 2, kGrid);
    LONG at[] = {0, 0};
    source.PutElement(at, COleVariant(OLESTR("a")));
    SAFEARRAY* sourceArray = source.parray;
    VARIANT holder = source;
    const COleVariant text(OLESTR("no array")), number(LONG{3});
    struct Case { VARIANT from; HRESULT raised; };
    const Case cases[] = {{source, S_OK}, {ByRef(VT_ARRAY | VT_VARIANT, &sourceArray), S_OK},
                          {ByRef(VT_VARIANT, &holder), S_OK}, {text, E_INVALIDARG}, {number, E_INVALIDARG}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.vt);
        COleSafeArray target;
        target.CreateOneDim(VT_I4, 4);
        SAFEARRAY* before = target.parray;
        if (c.raised == S_OK) {
            target = c.from;
            target.PutElement(at, COleVariant(OLESTR("b")));  // changes the copy only
        } else {
            EXPECT_EQ(Raised([&] { target = c.from; }).Code(), c.raised);
        }
        EXPECT_EQ(target.parray == before, FAILED(c.raised));
        EXPECT_EQ(target.GetCount(1), SUCCEEDED(c.raised) ? 3 : 4);
    }
    COleSafeArray copy(source);
    copy.PutElement(at, COleVariant(OLESTR("c")));
    COleVariant original;
    source.GetElement(at, &original);
    EXPECT_EQ(TextOf(original), OLESTR("a"));
}

}  // namespace
