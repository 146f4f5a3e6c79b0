// The portable helpers of the platform layer (C library number readings,
// GUID text, error texts) and, off Windows, the process's class registry.
#include "platform/CRuntime.h"
#include "platform/ComponentError.h"
#include "platform/Guid.h"
#ifndef _WIN32
#include "platform/posix/ClassRegistry.h"
#endif

#include "ApiTest.h"

namespace {

using PortableTest = ApiTest;

const GUID kTable = {0xE56BC140, 0x229A, 0x11D0, {0xAC, 0x64, 0x08, 0x00, 0x09, 0xD2, 0x33, 0x06}};

TEST_F(PortableTest, AtoLReadsLikeThe32BitCLibrary) {
    struct Case { const char* text; LONG value; SHORT cut; };
    const Case cases[] = {{"12", 12, 12}, {" \t\n\v\f\r-7x", -7, -7}, {"+42abc", 42, 42}, {"abc", 0, 0}, {"", 0, 0},
                          {"- 5", 0, 0}, {"--5", 0, 0}, {"70000", 70000, 4464}, {"9999999999", 2147483647, -1},
                          {"-2147483648", -2147483647 - 1, 0}, {"-99999999999999999999", -2147483647 - 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AtoL(c.text), c.value);
        EXPECT_EQ(AtoI(c.text), c.value);
        EXPECT_EQ(Cut16(AtoL(c.text)), c.cut);
    }
}

TEST_F(PortableTest, GuidTextReadsBack) {
    GUID read = IID_NULL;
    EXPECT_TRUE(GuidFromString("{e56bc140-229a-11d0-ac64-080009d23306}", &read) && IsEqualGUID(read, kTable));
    EXPECT_FALSE(GuidFromString("{E56BC140-229A-11D0-AC64-080009D2330G}", &read));
}

TEST_F(PortableTest, ErrorsCarryCodeTextAndInterface) {
    struct Case { HRESULT code; InterfaceId where; OleString description; std::string what; };
    const Case cases[] = {
        {E_POINTER, {"IHostTable", &kTable}, {},
         "0x80004003 Invalid pointer [IHostTable {E56BC140-229A-11D0-AC64-080009D23306}]"},
        {static_cast<HRESULT>(0x80041234), {}, {}, "0x80041234 Error 0x80041234"},
        {E_FAIL, {}, OLESTR("Caf\u00E9 \u20AC"), "0x80004005 Caf\xC3\xA9 \xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        const ComponentError error(c.code, c.where, c.description);
        EXPECT_EQ(error.what(), c.what);
        EXPECT_TRUE(error.Code() == c.code && error.Iid() == c.where.iid);
    }
}

#ifndef _WIN32
TEST_F(PortableTest, RegistryCreatesOnlyRegisteredClasses) {
    ValueObject object;
    platform::RegisterClassFactory(kTable, [&](REFIID riid, void** ppv) { return object.QueryInterface(riid, ppv); });
    void* made = nullptr;
    EXPECT_EQ(CoCreateInstance(kTable, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, &made), S_OK);
    EXPECT_EQ(made, static_cast<IDispatch*>(&object)) << "any server context";
    EXPECT_EQ(CoCreateInstance(kTable, &object, CLSCTX_INPROC_SERVER, IID_IDispatch, &made), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(made, nullptr) << "reset on failure";
    platform::UnregisterClassFactory(kTable);
    EXPECT_EQ(CoCreateInstance(kTable, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &made), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object.references, 2u) << "the one object made";
}
#endif

}  // namespace
