// Ownership rules of COleVariant and COleSafeArray: what is copied, what is
// moved, and what a failed operation leaves behind.
#include <string>

#include "FrameworkTestSupport.h"
#include "platform/OleSafeArray.h"

namespace {

using VariantOwner = LeakChecked;
using ArrayOwner = LeakChecked;

TEST_F(VariantOwner, FromAnsiDecodesTheCodePage) {
    struct Case {
        std::string bytes;
        OleString text;
    };
    const Case cases[] = {
        {"", OLESTR("")},
        {"Plan 2024", OLESTR("Plan 2024")},
        {std::string("a\0b", 3), OleString(OLESTR("a\0b"), 3)},
        {"\x80\x8a\x9f\xe9\xff", OLESTR("\u20AC\u0160\u0178\u00E9\u00FF")},
        {"\x81\x8d", OLESTR("\u0081\u008D")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        COleVariant v = COleVariant::FromAnsi(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(TextOf(v), c.text);
    }
}

TEST_F(VariantOwner, CopiesAreDeepAndMovesTakeTheValue) {
    COleVariant text(OLESTR("grid"));
    COleVariant copy(text);
    EXPECT_NE(copy.bstrVal, text.bstrVal);
    EXPECT_EQ(TextOf(copy), OLESTR("grid"));

    const BSTR owned = text.bstrVal;
    COleVariant moved(std::move(text));
    EXPECT_EQ(moved.bstrVal, owned);
    EXPECT_EQ(text.vt, VT_EMPTY);

    copy = std::move(moved);  // frees the copy's own string
    EXPECT_EQ(copy.bstrVal, owned);

    FakeDispatch target;
    {
        COleVariant object(&target);
        COleVariant another(object);
        EXPECT_EQ(target.refs, 3u);
    }
    EXPECT_EQ(target.refs, 1u);
}

TEST_F(VariantOwner, FailedChangeTypeLeavesTheValue) {
    COleVariant v(OLESTR("12"));
    v.ChangeType(VT_I4);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 12);

    COleVariant word(OLESTR("twelve"));
    EXPECT_EQ(Raised([&] { word.ChangeType(VT_I4); }).Code(), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TextOf(word), OLESTR("twelve"));
}

// A 3 x 2 grid of variants, as the converters build them.
COleSafeArray MakeGrid() {
    COleSafeArray grid;
    const DWORD counts[] = {3, 2};
    grid.Create(VT_VARIANT, 2, counts);
    return grid;
}

TEST_F(ArrayOwner, CreateGivesBoundsFromZeroAndEmptyElements) {
    COleSafeArray grid = MakeGrid();
    EXPECT_EQ(grid.vt, VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(grid.GetDim(), 2u);
    for (DWORD dim : {1u, 2u}) {
        LONG lower = -1;
        grid.GetLBound(dim, &lower);
        EXPECT_EQ(lower, 0);
        EXPECT_EQ(grid.GetCount(dim), dim == 1 ? 3 : 2);
    }
    LONG at[] = {2, 1};
    COleVariant element(LONG{9});
    grid.GetElement(at, &element);  // the destination is taken as uninitialised
    EXPECT_EQ(element.vt, VT_EMPTY);
}

TEST_F(ArrayOwner, PutElementCopiesOrMoves) {
    COleSafeArray grid = MakeGrid();
    LONG at[] = {1, 1};
    COleVariant kept(OLESTR("kept"));
    grid.PutElement(at, &kept);
    EXPECT_EQ(TextOf(kept), OLESTR("kept"));

    COleVariant moved(OLESTR("moved"));
    const BSTR owned = moved.bstrVal;
    grid.PutElement(at, std::move(moved));  // replaces "kept" in place
    EXPECT_EQ(moved.vt, VT_EMPTY);
    VARIANT* cells = nullptr;
    grid.AccessData(reinterpret_cast<void**>(&cells));
    EXPECT_EQ(cells[1 + 1 * 3].bstrVal, owned);  // dimension 1 varies fastest
    grid.UnaccessData();

    LONG outside[] = {3, 0};
    COleVariant value(LONG{1});
    EXPECT_EQ(Raised([&] { grid.PutElement(outside, std::move(value)); }).Code(), DISP_E_BADINDEX);
    EXPECT_EQ(value.lVal, 1);

    COleSafeArray numbers;
    numbers.CreateOneDim(VT_I4, 2);
    LONG first = 0;
    EXPECT_EQ(Raised([&] { numbers.PutElement(&first, std::move(value)); }).Code(), E_INVALIDARG);
    EXPECT_EQ(value.vt, VT_I4);
}

TEST_F(ArrayOwner, CopiesAreDeep) {
    COleSafeArray grid = MakeGrid();
    LONG at[] = {0, 0};
    grid.PutElement(at, COleVariant(OLESTR("a")));
    COleSafeArray copy(grid);
    ASSERT_NE(copy.parray, grid.parray);
    copy.PutElement(at, COleVariant(OLESTR("b")));
    COleVariant original;
    grid.GetElement(at, &original);
    EXPECT_EQ(TextOf(original), OLESTR("a"));
}

TEST_F(ArrayOwner, AssignmentFromAVariantCopiesOnlyArrays) {
    COleSafeArray source = MakeGrid();
    SAFEARRAY* sourceArray = source.parray;
    VARIANT holder = source;
    VARIANT byRef;
    byRef.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    byRef.pparray = &sourceArray;
    COleVariant text(OLESTR("no array"));
    struct Case {
        const char* name;
        VARIANT from;
        HRESULT raised;
    };
    const Case cases[] = {
        {"array", source, S_OK},
        {"array by reference", byRef, S_OK},
        {"variant holding an array by reference", ByRef(&holder), S_OK},
        {"text", text, E_INVALIDARG},
        {"number", COleVariant(LONG{3}), E_INVALIDARG},
        {"nothing", COleVariant(), E_INVALIDARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleSafeArray target;
        target.CreateOneDim(VT_I4, 4);
        SAFEARRAY* before = target.parray;
        if (c.raised == S_OK) {
            target = c.from;
            EXPECT_NE(target.parray, sourceArray);
            EXPECT_EQ(target.vt, VT_ARRAY | VT_VARIANT);
            EXPECT_EQ(target.GetCount(1), 3);
        } else {
            EXPECT_EQ(Raised([&] { target = c.from; }).Code(), c.raised);
            EXPECT_EQ(target.parray, before);
            EXPECT_EQ(target.GetCount(1), 4);
        }
    }
}

TEST_F(ArrayOwner, AnEmptyObjectHasNoBounds) {
    COleSafeArray empty;
    LONG bound = 0;
    EXPECT_FALSE(empty.HasArray());
    EXPECT_EQ(empty.GetDim(), 0u);
    EXPECT_EQ(Raised([&] { empty.GetLBound(1, &bound); }).Code(), E_INVALIDARG);
    EXPECT_EQ(Raised([&] { empty.GetUBound(1, &bound); }).Code(), E_INVALIDARG);
}

}  // namespace
