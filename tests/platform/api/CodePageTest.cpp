#include "ApiTest.h"

namespace {

class CodePageTest : public ApiTest {};

TEST_F(CodePageTest, BytesMapAsWindows1252) {
    // 0x80-0x9F; the undefined bytes map to the C1 control of the same value.
    const WCHAR high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    for (int byte = 1; byte < 256; ++byte) {
        const WCHAR expected = byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : static_cast<WCHAR>(byte);
        SCOPED_TRACE(Hex(byte));
        const char narrow = static_cast<char>(byte);
        WCHAR wide = 0;
        char back = 0;
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1), 1);
        EXPECT_EQ(Hex(wide), Hex(expected));
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, &expected, 1, &back, 1, nullptr, nullptr), 1);
        EXPECT_EQ(back, narrow);
    }
}

TEST_F(CodePageTest, MissingCharactersBecomeQuestionMarks) {
    const WCHAR wide[] = {'a', 0x4E00, 0x0394, 'z'};
    char bytes[4] = {};
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 4, bytes, 4, nullptr, &usedDefault), 4);
    EXPECT_EQ(std::string(bytes, 4), "a??z");
    EXPECT_TRUE(usedDefault);
}

TEST_F(CodePageTest, LengthConventions) {
    const struct {
        const char* name;
        int sourceLength, bufferSize, expected;
    } cases[] = {{"-1 counts the NUL", -1, 8, 4}, {"size only", -1, 0, 4}, {"given length adds no NUL", 3, 8, 3},
                 {"buffer too small", 3, 2, 0}, {"empty source", 0, 8, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR wide[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", c.sourceLength, c.bufferSize ? wide : nullptr, c.bufferSize),
                  c.expected);
        if (c.expected == 3) {
            EXPECT_EQ(wide[3], 'x');
        }
        char narrow[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
        EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, OLESTR("abc"), c.sourceLength, c.bufferSize ? narrow : nullptr,
                                      c.bufferSize, nullptr, nullptr),
                  c.expected);
        if (c.expected == 3) {
            EXPECT_EQ(narrow[3], 'x');
        }
    }
}

}  // namespace
