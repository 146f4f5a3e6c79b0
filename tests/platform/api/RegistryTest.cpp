// The registry API that registration writes through: keys made with their
// parents, names that ignore letter case, values read back with their size,
// and the two deletions. Everything happens below one scratch key, so the
// cases read the same against the system registry.
#include <string>

#include "../PlatformTest.h"

namespace {

const std::basic_string<OLECHAR> kScratch = OLESTR("TesselRegistryTest");

std::basic_string<OLECHAR> Below(const OLECHAR* path) { return kScratch + OLESTR("\\") + path; }

class RegistryTest : public LeakChecked {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kScratch.c_str());
        LeakChecked::TearDown();
    }

    static LSTATUS Create(const std::basic_string<OLECHAR>& path, HKEY* key, DWORD* disposition = nullptr) {
        return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE, nullptr, key, disposition);
    }
    static LSTATUS Make(const std::basic_string<OLECHAR>& path) {
        HKEY key = nullptr;
        const LSTATUS status = Create(path, &key);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    }
    static LSTATUS Open(const std::basic_string<OLECHAR>& path) {
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key);
        if (status == ERROR_SUCCESS) RegCloseKey(key);
        return status;
    }
};

TEST_F(RegistryTest, KeysAreMadeWithTheirParentsAndFoundInAnyLetterCase) {
    DWORD disposition = 0;
    HKEY key = nullptr;
    ASSERT_EQ(Create(Below(OLESTR("A\\B\\C")), &key, &disposition), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(disposition, DWORD{REG_CREATED_NEW_KEY});
    ASSERT_EQ(Create(Below(OLESTR("a\\b")), &key, &disposition), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(disposition, DWORD{REG_OPENED_EXISTING_KEY});

    const std::pair<const OLECHAR*, LSTATUS> opened[] = {
        {OLESTR("A"), ERROR_SUCCESS}, {OLESTR("a\\B\\c"), ERROR_SUCCESS},
        {OLESTR("A\\B\\C\\D"), ERROR_FILE_NOT_FOUND}, {OLESTR("A\\BC"), ERROR_FILE_NOT_FOUND},
    };
    for (std::size_t i = 0; i < std::size(opened); ++i) EXPECT_EQ(Open(Below(opened[i].first)), opened[i].second) << "case " << i;
}

TEST_F(RegistryTest, ValuesComeBackWithTheirTypeAndSize) {
    HKEY key = nullptr;
    ASSERT_EQ(Create(Below(OLESTR("Values")), &key), ERROR_SUCCESS);
    const OLECHAR text[] = OLESTR("Apartment");
    ASSERT_EQ(RegSetValueExW(key, OLESTR("ThreadingModel"), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             sizeof text),
              ERROR_SUCCESS);

    DWORD type = REG_NONE, bytes = 0;
    EXPECT_EQ(RegQueryValueExW(key, OLESTR("threadingmodel"), nullptr, &type, nullptr, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD{REG_SZ});
    EXPECT_EQ(bytes, DWORD{sizeof text});
    OLECHAR small[4] = {};
    bytes = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, OLESTR("ThreadingModel"), nullptr, nullptr, reinterpret_cast<BYTE*>(small), &bytes),
              ERROR_MORE_DATA);
    EXPECT_EQ(bytes, DWORD{sizeof text});
    OLECHAR back[16] = {};
    bytes = sizeof back;
    EXPECT_EQ(RegQueryValueExW(key, OLESTR("ThreadingModel"), nullptr, nullptr, reinterpret_cast<BYTE*>(back), &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::basic_string<OLECHAR>(back), text);
    // The key's default value was never set.
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &bytes), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletionTakesAKeyAloneOrWithEverythingBelow) {
    for (const OLECHAR* path : {OLESTR("Tree\\Leaf\\Deeper"), OLESTR("Tree\\Leaf2"), OLESTR("Tree-Sibling")})
        ASSERT_EQ(Make(Below(path)), ERROR_SUCCESS);
    // A key with subkeys is not deleted on its own.
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, Below(OLESTR("Tree\\Leaf")).c_str()), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, Below(OLESTR("Tree\\Leaf\\Deeper")).c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, Below(OLESTR("Tree\\Leaf")).c_str()), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, Below(OLESTR("Tree\\Leaf")).c_str()), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, Below(OLESTR("TREE")).c_str()), ERROR_SUCCESS);
    const std::pair<const OLECHAR*, LSTATUS> left[] = {
        {OLESTR("Tree"), ERROR_FILE_NOT_FOUND}, {OLESTR("Tree\\Leaf2"), ERROR_FILE_NOT_FOUND},
        {OLESTR("Tree-Sibling"), ERROR_SUCCESS},
    };
    for (std::size_t i = 0; i < std::size(left); ++i) EXPECT_EQ(Open(Below(left[i].first)), left[i].second) << "case " << i;
}

}  // namespace
