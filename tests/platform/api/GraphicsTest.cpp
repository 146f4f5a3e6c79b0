// Colours and fonts as the platform gives them.
#include <cstring>
#include <tuple>

#include "../PlatformTest.h"

namespace {

typedef LeakChecked ColourTest, FontTest;

TEST_F(ColourTest, OleTranslateColorByKind) {
    struct Case { OLE_COLOR colour; HRESULT hr; COLORREF translated; bool wineDiffers = false; };
    const Case cases[] = {
        // Red-green-blue, a palette index (no palette: unchanged), palette-relative.
        {0x00123456u, S_OK, 0x00123456u}, {0x01000007u, S_OK, 0x01000007u}, {0x02345678u, S_OK, 0x02345678u},
        // System colours: window, button face, the last index and past it.
        {0x80000005u, S_OK, GetSysColor(5)}, {0x8000000Fu, S_OK, GetSysColor(15)},
        {0x80000000u | COLOR_MENUBAR, S_OK, GetSysColor(COLOR_MENUBAR)},
        {0x80000000u | (COLOR_MENUBAR + 1), E_INVALIDARG, 0xDEADu},
        // Bits beside the index make it invalid (Wine reads the low byte only: S_OK, system colour 5).
        {0x80000105u, E_INVALIDARG, 0xDEADu, true},
        {0x03000000u, E_INVALIDARG, 0xDEADu}, {0xFF000000u, E_INVALIDARG, 0xDEADu},  // unknown kinds
    };
    for (const Case& c : cases) {
        if (c.wineDiffers && RunningUnderWine()) continue;
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        COLORREF out = 0xDEAD;
        EXPECT_EQ(OleTranslateColor(c.colour, nullptr, &out), c.hr);
        EXPECT_EQ(out, c.translated);
    }
    EXPECT_EQ(OleTranslateColor(0x80000005u, nullptr, nullptr), S_OK) << "a null result only checks";
    for (int outside : {-1, COLOR_MENUBAR + 1}) EXPECT_EQ(GetSysColor(outside), 0u) << outside;
    EXPECT_EQ(RGB(1, 2, 3), 0x00030201u) << "red sits in the low byte";
}

TEST_F(FontTest, StockSystemFont) {
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
    ASSERT_NE(font, nullptr);
    LOGFONTA logfont{};
    EXPECT_EQ(GetObjectA(font, sizeof logfont, &logfont), 60);
    EXPECT_EQ(std::tuple(logfont.lfHeight, logfont.lfWeight, int{logfont.lfCharSet}, int{logfont.lfPitchAndFamily}),
              std::tuple(16, 700, 0, 34));
    EXPECT_STREQ(logfont.lfFaceName, "System");
    EXPECT_EQ(DeleteObject(font), TRUE);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT), font) << "a stock object outlives DeleteObject";
}

TEST_F(FontTest, GetObjectACopiesAtMostTheDescription) {
    LOGFONTA made{};
    made.lfHeight = -13;
    made.lfCharSet = 238;
    // A name that fills the field: the bytes after a shorter name's NUL are undefined (Wine leaves them as they were).
    std::strcpy(made.lfFaceName, "Segoe UI Semibold Condensed Ext");
    HFONT font = CreateFontIndirectA(&made);
    ASSERT_NE(font, nullptr);
    struct Case { int size; bool buffer; int result; };
    const Case cases[] = {{60, true, 60}, {200, true, 60}, {4, true, 4}, {0, true, 0}, {0, false, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char bytes[200];
        std::memset(bytes, 0x55, sizeof bytes);
        EXPECT_EQ(GetObjectA(font, c.size, c.buffer ? bytes : nullptr), c.result);
        if (!c.buffer) continue;
        EXPECT_EQ(std::memcmp(bytes, &made, static_cast<std::size_t>(c.result)), 0);
        EXPECT_EQ(bytes[c.result], 0x55) << "nothing past the copied bytes";
    }
    EXPECT_EQ(GetObjectA(nullptr, 60, &made), 0);
    EXPECT_EQ(DeleteObject(font), TRUE);
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

}  // namespace
