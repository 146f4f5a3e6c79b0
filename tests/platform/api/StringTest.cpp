// BSTR layout and the ANSI code page.
#include <cstring>

#include "ApiTest.h"

namespace {

using StringTest = ApiTest;

TEST_F(StringTest, AllocationsKeepLengthPrefixAndTerminator) {
    static const OLECHAR kEmbedded[] = {'a', 0, 'b'};
    struct Case { BSTR text; UINT byteLength; const void* bytes; };
    const Case cases[] = {
        {SysAllocString(OLESTR("Test")), 8, OLESTR("Test")}, {SysAllocString(kEmbedded), 2, kEmbedded},  // to the NUL
        {SysAllocStringLen(kEmbedded, 3), 6, kEmbedded}, {SysAllocStringLen(nullptr, 0), 0, ""},
        {SysAllocStringByteLen("Tes", 3), 3, "Tes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.byteLength);
        const char* bytes = reinterpret_cast<const char*>(c.text);
        DWORD prefix = 0;
        std::memcpy(&prefix, bytes - sizeof prefix, sizeof prefix);
        EXPECT_EQ(prefix, c.byteLength);
        EXPECT_EQ(SysStringLen(c.text), c.byteLength / 2);
        EXPECT_EQ(std::memcmp(bytes, c.bytes, c.byteLength), 0);
        EXPECT_TRUE(bytes[c.byteLength] == 0 && bytes[c.byteLength + 1] == 0) << "2-byte NUL after the text";
        SysFreeString(c.text);
    }
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysAllocStringByteLen("x", 0xFFFFFFFF), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST_F(StringTest, CodePageIsWindows1252) {
    // 0x80-0x9F; the undefined bytes map to the C1 control of the same value.
    const WCHAR high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int byte = 1; byte < 256; ++byte) {
        const WCHAR expected = byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : static_cast<WCHAR>(byte);
        const char narrow = static_cast<char>(byte);
        WCHAR wide = 0;
        char back = 0;
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1), 1);
        EXPECT_EQ(wide, expected) << "byte " << byte;
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, &expected, 1, &back, 1, nullptr, nullptr), 1);
        EXPECT_EQ(back, narrow) << "byte " << byte;
    }
    const WCHAR missing[] = {'a', 0x4E00, 0x0394, 'z'};
    char bytes[5] = "xxxx";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, missing, 3, bytes, 4, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(bytes), "a??x") << "missing characters become '?'; a given length adds no NUL";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4) << "-1 counts the NUL";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3) << "a given length: no NUL";
}

}  // namespace
