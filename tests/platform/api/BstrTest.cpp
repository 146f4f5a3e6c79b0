#include <cstring>

#include "ApiTest.h"

namespace {

class BstrTest : public ApiTest {};

TEST_F(BstrTest, AllocationsKeepLengthPrefixAndTerminator) {
    static const OLECHAR kEmbedded[] = {'a', 0, 'b'};
    const struct {
        BSTR (*make)();
        UINT byteLength;
        std::string text;
    } cases[] = {
        {[] { return SysAllocString(OLESTR("Test")); }, 8, "Test"},
        {[] { return SysAllocString(kEmbedded); }, 2, "a"},  // stops at the first NUL
        {[] { return SysAllocStringLen(kEmbedded, 3); }, 6, "a\\u0000b"},
        {[] { return SysAllocStringLen(nullptr, 2); }, 4, "\\u0000\\u0000"},
        {[] { return SysAllocStringLen(nullptr, 0); }, 0, ""},
        {[] { return SysAllocStringByteLen("Tes", 3); }, 3, "\\u6554"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        BSTR text = c.make();
        ASSERT_NE(text, nullptr);
        DWORD prefix = 0;
        std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof prefix, sizeof prefix);
        EXPECT_EQ(prefix, c.byteLength);
        EXPECT_EQ(SysStringByteLen(text), c.byteLength);
        EXPECT_EQ(SysStringLen(text), c.byteLength / 2);
        EXPECT_EQ(Narrow(text), c.text);
        const char* bytes = reinterpret_cast<const char*>(text);
        EXPECT_TRUE(bytes[c.byteLength] == 0 && bytes[c.byteLength + 1] == 0) << "2-byte NUL after the text";
        SysFreeString(text);
    }
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysAllocStringByteLen("x", 0xFFFFFFFF), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

}  // namespace
