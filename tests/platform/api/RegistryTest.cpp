// The registry API that registration writes through, below one scratch key so the system registry reads the same.
#include <string>

#include "../PlatformTest.h"

namespace {

const std::basic_string<OLECHAR> kScratch = OLESTR("TesselRegistryTest");

// A status, and what came with it: a key's disposition or a value's size.
using Outcome = std::pair<LSTATUS, DWORD>;

class RegistryTest : public LeakChecked {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kScratch.c_str());
        LeakChecked::TearDown();
    }

    static std::basic_string<OLECHAR> Below(const OLECHAR* path) { return kScratch + OLESTR("\\") + path; }
    static LSTATUS Create(const OLECHAR* path, HKEY* key, DWORD* disposition = nullptr) {
        return RegCreateKeyExW(HKEY_CLASSES_ROOT, Below(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE, nullptr, key, disposition);
    }
    static Outcome Make(const OLECHAR* path) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        const LSTATUS status = Create(path, &key, &disposition);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return {status, disposition};
    }
    static LSTATUS Open(const OLECHAR* path) {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExW(HKEY_CLASSES_ROOT, Below(path).c_str(), 0, KEY_READ, &key);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    }
    static LSTATUS Delete(const OLECHAR* path) { return RegDeleteKeyW(HKEY_CLASSES_ROOT, Below(path).c_str()); }
    static void ExpectOpens(std::initializer_list<std::pair<const OLECHAR*, LSTATUS>> paths) {
        int i = 0;
        for (const auto& [path, status] : paths) EXPECT_EQ(Open(path), status) << "case " << i++;
    }
};

TEST_F(RegistryTest, KeysAreMadeWithTheirParentsAndFoundInAnyLetterCase) {
    EXPECT_EQ(Make(OLESTR("A\\B\\C")), Outcome(ERROR_SUCCESS, REG_CREATED_NEW_KEY));
    EXPECT_EQ(Make(OLESTR("a\\b")), Outcome(ERROR_SUCCESS, REG_OPENED_EXISTING_KEY));
    ExpectOpens({{OLESTR("A"), ERROR_SUCCESS}, {OLESTR("a\\B\\c"), ERROR_SUCCESS},
                 {OLESTR("A\\B\\C\\D"), ERROR_FILE_NOT_FOUND}, {OLESTR("A\\BC"), ERROR_FILE_NOT_FOUND}});
}

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndSize) {
    HKEY key = nullptr;
    ASSERT_EQ(Create(OLESTR("Values"), &key), ERROR_SUCCESS);
    const OLECHAR text[] = OLESTR("Apartment");
    const auto* bytes = reinterpret_cast<const BYTE*>(text);
    ASSERT_EQ(RegSetValueExW(key, OLESTR("ThreadingModel"), 0, REG_SZ, bytes, sizeof text), ERROR_SUCCESS);
    const auto query = [key](const OLECHAR* name, void* into, DWORD size, DWORD* type = nullptr) {
        const LSTATUS status = RegQueryValueExW(key, name, nullptr, type, static_cast<BYTE*>(into), &size);
        return Outcome(status, size);
    };
    DWORD type = REG_NONE;
    EXPECT_EQ(query(OLESTR("threadingmodel"), nullptr, 0, &type), Outcome(ERROR_SUCCESS, sizeof text));
    EXPECT_EQ(type, DWORD{REG_SZ});
    OLECHAR small[4] = {}, back[16] = {};
    EXPECT_EQ(query(OLESTR("ThreadingModel"), small, sizeof small), Outcome(ERROR_MORE_DATA, sizeof text));
    EXPECT_EQ(query(OLESTR("ThreadingModel"), back, sizeof back), Outcome(ERROR_SUCCESS, sizeof text));
    EXPECT_EQ(std::basic_string<OLECHAR>(back), text);
    // The key's default value was never set.
    EXPECT_EQ(query(nullptr, nullptr, sizeof back).first, ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletionTakesAKeyAloneOrWithEverythingBelow) {
    for (const OLECHAR* path : {OLESTR("Tree\\Leaf\\Deeper"), OLESTR("Tree\\Leaf2"), OLESTR("Tree-Sibling")})
        ASSERT_EQ(Make(path).first, ERROR_SUCCESS);
    // A key with subkeys is not deleted on its own.
    EXPECT_EQ(Delete(OLESTR("Tree\\Leaf")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Delete(OLESTR("Tree\\Leaf\\Deeper")), ERROR_SUCCESS);
    EXPECT_EQ(Delete(OLESTR("Tree\\Leaf")), ERROR_SUCCESS);
    EXPECT_EQ(Delete(OLESTR("Tree\\Leaf")), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, Below(OLESTR("TREE")).c_str()), ERROR_SUCCESS);
    ExpectOpens({{OLESTR("Tree"), ERROR_FILE_NOT_FOUND}, {OLESTR("Tree\\Leaf2"), ERROR_FILE_NOT_FOUND},
                 {OLESTR("Tree-Sibling"), ERROR_SUCCESS}});
}

}  // namespace
