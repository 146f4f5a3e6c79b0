// The process's own class registry exists only off Windows.
#ifndef _WIN32
#include "platform/posix/ClassRegistry.h"

#include "ApiTest.h"

namespace {

const CLSID kRegistered = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kUnknown = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 9}};
const IID kOtherInterface = {0x44444444, 0x5555, 0x6666, {1, 2, 3, 4, 5, 6, 7, 8}};

class ClassRegistryTest : public ApiTest {};

TEST_F(ClassRegistryTest, CreatesOnlyRegisteredInProcessClasses) {
    ValueObject object(VARIANT{});
    platform::RegisterClassFactory(kRegistered, [&](REFIID riid, void** ppv) { return object.QueryInterface(riid, ppv); });
    const struct {
        const char* name;
        const CLSID& clsid;
        IUnknown* outer;
        DWORD context;
        const IID& iid;
        HRESULT expected;
    } cases[] = {
        {"registered", kRegistered, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, S_OK},
        {"any server context", kRegistered, nullptr, CLSCTX_LOCAL_SERVER | 0x20, IID_IUnknown, S_OK},
        {"unregistered", kUnknown, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, REGDB_E_CLASSNOTREG},
        {"no server context", kRegistered, nullptr, 0x20, IID_IUnknown, REGDB_E_CLASSNOTREG},
        {"aggregation", kRegistered, &object, CLSCTX_INPROC_SERVER, IID_IUnknown, CLASS_E_NOAGGREGATION},
        {"interface refused", kRegistered, nullptr, CLSCTX_INPROC_SERVER, kOtherInterface, E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        void* made = &object;  // must be reset on failure
        EXPECT_EQ(Hex(CoCreateInstance(c.clsid, c.outer, c.context, c.iid, &made)), Hex(c.expected));
        EXPECT_EQ(made, SUCCEEDED(c.expected) ? static_cast<IDispatch*>(&object) : nullptr);
        if (made) static_cast<IUnknown*>(made)->Release();
    }
    EXPECT_EQ(Hex(CoCreateInstance(kRegistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr)), Hex(E_POINTER));
    platform::UnregisterClassFactory(kRegistered);
    void* made = nullptr;
    EXPECT_EQ(Hex(CoCreateInstance(kRegistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &made)),
              Hex(REGDB_E_CLASSNOTREG));
    EXPECT_EQ(object.references, 1u);
    EXPECT_EQ(Hex(OleRun(nullptr)), Hex(E_INVALIDARG));
    EXPECT_EQ(Hex(OleRun(&object)), Hex(S_OK));
}

}  // namespace
#endif
