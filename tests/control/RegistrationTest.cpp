// Registration, unregistration and the class factories.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <fstream>
#include <string>
#include <vector>

#include "control/TesselAdapterApp.h"
#include "control/TesselAdapterCtrl.h"
#include "control/TesselAdapterPropPage.h"
#include "platform/ComPtr.h"
#include "platform/OleRegistration.h"
#include "platform/posix/RegistryStore.h"
#include "platform/posix/TypeLibraryResource.h"
#include "standins/Utf8.h"
#include "support/AdapterFixture.h"

namespace {

using namespace testing_support;

const std::u16string kControl = u"CLSID\\{04A4CC2A-6452-11D3-96B4-0004AC96572D}";
const std::u16string kPage = u"CLSID\\{04A4CC2B-6452-11D3-96B4-0004AC96572D}";
const std::u16string kProgId = u"Vantor.TesselAdapter.1";
const std::u16string kLibrary = u"TypeLib\\{04A4CC27-6452-11D3-96B4-0004AC96572D}";
const std::u16string k32BitView = u"Wow6432Node\\";

std::set<std::string> AllKeys() {
    std::set<std::string> keys;
    for (const std::u16string& path : platform::RegistryKeyPaths()) keys.insert(standins::ToUtf8(path));
    return keys;
}

void CreateKey(const std::u16string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class RegistrationTest : public LeakCheckedTest {
protected:
    void SetUp() override {
        LeakCheckedTest::SetUp();
        platform::ClearRegistry();
        // Keys every machine has, and one class of somebody else's.
        CreateKey(u"TypeLib");
        CreateKey(u"Interface");
        CreateKey(k32BitView + u"Interface");
        CreateKey(u"CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32");
        before_ = AllKeys();
        module_ = standins::ToUtf8(ModuleFileName(nullptr));
    }
    void TearDown() override {
        platform::SetRegisteredModuleBitness(platform::ModuleBitness::x64);
        platform::DenyRegistryWritesBelow(u"");
        platform::ClearRegistry();
        LeakCheckedTest::TearDown();
    }

    std::set<std::string> before_;
    std::string module_;
};

// One value a registration writes (an empty name: the key's default).
struct Row {
    std::u16string key;
    std::u16string name;
    std::string data;  // kNoValue: the key holds no such value
};

void Substitute(std::string& text, const std::string& placeholder, const std::string& by) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + by.size()))
        text.replace(at, placeholder.size(), by);
}

// The rows of registered-keys.txt as a module of `bitness` at `module` writes them.
std::vector<Row> RowsFor(platform::ModuleBitness bitness, const std::string& module) {
    const bool x64 = bitness == platform::ModuleBitness::x64;
    const std::vector<std::u16string> views = x64 ? std::vector<std::u16string>{u"", k32BitView}
                                                  : std::vector<std::u16string>{u""};
    std::ifstream file(TESSEL_REGISTERED_KEYS);
    std::vector<Row> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        std::string key = line.substr(0, tab1), name = line.substr(tab1 + 1, tab2 - tab1 - 1),
                    data = line.substr(tab2 + 1);
        Substitute(key, "{syskind}", x64 ? "win64" : "win32");
        Substitute(data, "{module}", module);
        Substitute(data, "{folder}", module.substr(0, module.find_last_of('/')));
        Substitute(data, "{none}", kNoValue);
        if (name == "@") name.clear();
        const bool inEachView = key.starts_with("{view}");
        for (const std::u16string& view : inEachView ? views : std::vector<std::u16string>{u""})
            rows.push_back({view + std::u16string(key.begin() + (inEachView ? 6 : 0), key.end()),
                            std::u16string(name.begin(), name.end()), data});
    }
    EXPECT_FALSE(rows.empty()) << TESSEL_REGISTERED_KEYS;
    return rows;
}

// The 64-bit module also writes its interfaces for 32-bit callers; the
// 32-bit module's library file is its win32 one, and its interfaces are in
// its own view only.
TEST_F(RegistrationTest, RegisterWritesEveryKeyOfTheListAndUnregisterTakesThemAway) {
    for (const platform::ModuleBitness bitness : {platform::ModuleBitness::x64, platform::ModuleBitness::x86}) {
        SCOPED_TRACE(bitness == platform::ModuleBitness::x64 ? "64-bit" : "32-bit");
        platform::SetRegisteredModuleBitness(bitness);
        ASSERT_EQ(DllRegisterServer(), S_OK);
        std::set<std::string> keys = before_;
        for (const Row& row : RowsFor(bitness, module_)) {
            SCOPED_TRACE(standins::ToUtf8(row.key) + " " + standins::ToUtf8(row.name));
            EXPECT_EQ(ReadText(row.key, row.name), row.data);
            // The key and the keys it is below.
            for (std::size_t end = 0; end != std::u16string::npos;) {
                end = row.key.find(u'\\', end + 1);
                keys.insert(standins::ToUtf8(row.key.substr(0, end)));
            }
        }
        EXPECT_EQ(AllKeys(), keys);
        ASSERT_EQ(DllRegisterServer(), S_OK);
        EXPECT_EQ(AllKeys(), keys) << "registering again changes nothing";
        // A library no longer registered cannot be removed again.
        EXPECT_EQ(DllUnregisterServer(), S_OK);
        EXPECT_EQ(AllKeys(), before_);
        EXPECT_EQ(DllUnregisterServer(), SELFREG_E_TYPELIB);
        EXPECT_EQ(AllKeys(), before_);
    }
}

// The parts of the module a registration left behind: the library, the
// control, its ProgID and the page, each as its letter or '-'.
std::string Present() {
    std::string parts;
    for (const auto& [key, letter] : {std::pair{kLibrary, 'L'}, {kControl, 'C'}, {kProgId, 'P'}, {kPage, 'G'}})
        parts += ReadText(key, u"").has_value() ? letter : '-';
    return parts;
}

TEST_F(RegistrationTest, ARefusedWriteOrRemovalStopsAtItsStep) {
    struct Case {
        bool unregister;
        std::u16string denied;
        HRESULT result;
        std::string left;
    };
    const Case cases[] = {
        // The library goes first: without it no class is registered.
        {false, u"TypeLib", SELFREG_E_TYPELIB, "----"},
        {false, kLibrary + u"\\1.0\\HELPDIR", SELFREG_E_TYPELIB, "----"},
        // A failed class leaves no keys, and the classes after it are not tried.
        {false, kProgId, SELFREG_E_CLASS, "L---"},
        {false, kControl + u"\\MiscStatus\\1", SELFREG_E_CLASS, "L---"},
        {false, kPage, SELFREG_E_CLASS, "LCP-"},
        {true, kLibrary, SELFREG_E_TYPELIB, "LCPG"},
        {true, kControl, SELFREG_E_CLASS, "-C-G"},
        {true, kPage, SELFREG_E_CLASS, "---G"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.unregister ? "unregistering, denied " : "registering, denied ") + standins::ToUtf8(c.denied));
        platform::ClearRegistry();
        if (c.unregister) {
            ASSERT_EQ(DllRegisterServer(), S_OK);
        }
        platform::DenyRegistryWritesBelow(c.denied);
        EXPECT_EQ(c.unregister ? DllUnregisterServer() : DllRegisterServer(), c.result);
        EXPECT_EQ(Present(), c.left);
        platform::DenyRegistryWritesBelow(u"");
    }
}

class ClassObjectTest : public LeakCheckedTest {};

TEST_F(ClassObjectTest, EachFactoryMakesItsClass) {
    struct Case {
        const char* name;
        const CLSID* clsid;
        const IID* answered;
        const IID* refused;
    };
    const Case cases[] = {
        {"control", &CLSID_TesselAdapter, &IID_DTesselAdapter, &IID_IClassFactory},
        {"page", &CLSID_TesselAdapterPropPage, &IID_IUnknown, &IID_IDispatch},
    };
    ASSERT_EQ(DllCanUnloadNow(), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(DllGetClassObject(*c.clsid, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // a factory held by a client

        ComPtr<IUnknown> object;
        EXPECT_EQ(factory->CreateInstance(nullptr, *c.answered, object.ReceiveVoid()), S_OK);
        EXPECT_NE(object.Get(), nullptr);
        ComPtr<IUnknown> refused;
        EXPECT_EQ(factory->CreateInstance(nullptr, *c.refused, refused.ReceiveVoid()), E_NOINTERFACE);
        EXPECT_EQ(refused.Get(), nullptr);
        factory.Reset();
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE);  // a live object
        object.Reset();
        EXPECT_EQ(DllCanUnloadNow(), S_OK);
    }
}

TEST_F(ClassObjectTest, WhatTheFactoriesRefuse) {
    const CLSID unknown = {0x04A4CC2C, 0x6452, 0x11D3, {0x96, 0xB4, 0x00, 0x04, 0xAC, 0x96, 0x57, 0x2D}};
    void* out = &out;
    EXPECT_EQ(DllGetClassObject(unknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DllGetClassObject(CLSID_TesselAdapter, IID_IClassFactory, nullptr), E_POINTER);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(DllGetClassObject(CLSID_TesselAdapter, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    ComPtr<IUnknown> outer;
    ASSERT_EQ(DllGetClassObject(CLSID_TesselAdapterPropPage, IID_IUnknown, outer.ReceiveVoid()), S_OK);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, aggregated.ReceiveVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated.Get(), nullptr);

    // A locked server stays loaded without any object.
    outer.Reset();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    ASSERT_EQ(DllGetClassObject(CLSID_TesselAdapter, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

}  // namespace
