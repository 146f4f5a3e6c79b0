// The portable helpers of the platform layer: C library number readings,
// GUID text and error texts.
#include "platform/CRuntime.h"
#include "platform/ComponentError.h"
#include "platform/Guid.h"

#include "ApiTest.h"

namespace {

class PortableTest : public ApiTest {};

const GUID kTable = {0xE56BC140, 0x229A, 0x11D0, {0xAC, 0x64, 0x08, 0x00, 0x09, 0xD2, 0x33, 0x06}};

TEST_F(PortableTest, AtoLReadsLikeThe32BitCLibrary) {
    const struct {
        const char* text;
        LONG value;
        SHORT cut;
    } cases[] = {{"12", 12, 12}, {" \t\n\v\f\r-7x", -7, -7}, {"+42abc", 42, 42}, {"abc", 0, 0}, {"", 0, 0},
                 {"- 5", 0, 0}, {"--5", 0, 0}, {"000123", 123, 123}, {"70000", 70000, 4464},
                 {"9999999999", 2147483647, -1}, {"-2147483648", -2147483647 - 1, 0},
                 {"-99999999999999999999", -2147483647 - 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AtoL(c.text), c.value);
        EXPECT_EQ(AtoI(c.text), c.value);
        EXPECT_EQ(Cut16(AtoL(c.text)), c.cut);
    }
}

TEST_F(PortableTest, GuidText) {
    EXPECT_EQ(GuidToString(kTable), "{E56BC140-229A-11D0-AC64-080009D23306}");
    EXPECT_EQ(GuidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    const struct {
        const char* text;
        bool valid;
    } cases[] = {{"{E56BC140-229A-11D0-AC64-080009D23306}", true}, {"{e56bc140-229a-11d0-ac64-080009d23306}", true},
                 {"E56BC140-229A-11D0-AC64-080009D23306", true}, {"{E56BC140-229A-11D0-AC64-080009D23306", false},
                 {"{E56BC140-229A-11D0-AC64-080009D2330G}", false}, {"{E56BC140+229A-11D0-AC64-080009D23306}", false},
                 {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        GUID read = IID_NULL;
        EXPECT_EQ(GuidFromString(c.text, &read), c.valid);
        EXPECT_EQ(IsEqualGUID(read, kTable), c.valid);
    }
}

TEST_F(PortableTest, ErrorsCarryCodeTextAndInterface) {
    const struct {
        HRESULT code;
        InterfaceId where;
        OleString description;
        std::string what;
    } cases[] = {
        {E_POINTER, {"IHostTable", &kTable}, {}, "0x80004003 Invalid pointer [IHostTable {E56BC140-229A-11D0-AC64-080009D23306}]"},
        {DISP_E_BADINDEX, {"IChart", nullptr}, {}, "0x8002000B Invalid index [IChart]"},
        {E_INVALIDARG, {}, {}, "0x80070057 The parameter is incorrect"},
        {DISP_E_TYPEMISMATCH, {}, {}, "0x80020005 Type mismatch"},
        {DISP_E_OVERFLOW, {}, {}, "0x8002000A Out of present range"},
        {CTL_E_SETNOTSUPPORTED, {}, {}, "0x800A017F Property is read-only"},
        {CTL_E_GETNOTSUPPORTED, {}, {}, "0x800A018A Property is write-only"},
        {E_OUTOFMEMORY, {}, {}, "0x8007000E Out of memory"},
        {E_UNEXPECTED, {}, {}, "0x8000FFFF Catastrophic failure"},
        {static_cast<HRESULT>(0x80041234), {}, {}, "0x80041234 Error 0x80041234"},
        {E_FAIL, {}, OLESTR("Caf\u00E9 \u20AC"), "0x80004005 Caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            RaiseError(c.code, c.where, c.description);
        } catch (const ComponentError& error) {
            EXPECT_EQ(error.what(), c.what);
            EXPECT_EQ(Hex(error.Code()), Hex(c.code));
            EXPECT_EQ(error.Iid(), c.where.iid);
        }
    }
}

}  // namespace
