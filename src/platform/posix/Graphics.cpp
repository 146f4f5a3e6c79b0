// System colours, OLE colour translation and font objects.
#include "platform/posix/Graphics.h"

#include <array>
#include <cstring>

// A graphics object: only fonts exist here.
struct HGDIOBJ__ {
    LOGFONTA font;
    bool stock;
};

namespace {

// The platform's default system colours, by index (0 to COLOR_MENUBAR).
constexpr std::array<COLORREF, COLOR_MENUBAR + 1> kSystemColours = {
    RGB(200, 200, 200),  // 0 scroll bar
    RGB(0, 0, 0),        // 1 desktop
    RGB(153, 180, 209),  // 2 active caption
    RGB(191, 205, 219),  // 3 inactive caption
    RGB(240, 240, 240),  // 4 menu
    RGB(255, 255, 255),  // 5 window
    RGB(100, 100, 100),  // 6 window frame
    RGB(0, 0, 0),        // 7 menu text
    RGB(0, 0, 0),        // 8 window text
    RGB(0, 0, 0),        // 9 caption text
    RGB(180, 180, 180),  // 10 active border
    RGB(244, 247, 252),  // 11 inactive border
    RGB(171, 171, 171),  // 12 application workspace
    RGB(0, 120, 215),    // 13 highlight
    RGB(255, 255, 255),  // 14 highlight text
    RGB(240, 240, 240),  // 15 button face
    RGB(160, 160, 160),  // 16 button shadow
    RGB(109, 109, 109),  // 17 grey text
    RGB(0, 0, 0),        // 18 button text
    RGB(0, 0, 0),        // 19 inactive caption text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(105, 105, 105),  // 21 3-D dark shadow
    RGB(227, 227, 227),  // 22 3-D light
    RGB(0, 0, 0),        // 23 tooltip text
    RGB(255, 255, 225),  // 24 tooltip background
    RGB(0, 0, 0),        // 25 unused
    RGB(0, 102, 204),    // 26 hot-tracked item
    RGB(185, 209, 234),  // 27 active caption gradient
    RGB(215, 228, 242),  // 28 inactive caption gradient
    RGB(0, 120, 215),    // 29 menu highlight
    RGB(240, 240, 240),  // 30 menu bar
};

// The system font as Windows describes it.
HGDIOBJ__ systemFont{{16, 7, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 34, "System"}, true};

}  // namespace

DWORD GetSysColor(int index) {
    if (index < 0 || index > COLOR_MENUBAR) return 0;
    return kSystemColours[static_cast<std::size_t>(index)];
}

HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE, COLORREF* pcolorref) {
    COLORREF result = clr;
    switch (clr >> 24) {
        case 0x00:
        case 0x01:
        case 0x02:
            break;
        case 0x80:
            if ((clr & 0x00FFFF00u) != 0 || (clr & 0xFFu) > COLOR_MENUBAR) return E_INVALIDARG;
            result = GetSysColor(static_cast<int>(clr & 0xFFu));
            break;
        default:
            return E_INVALIDARG;
    }
    if (pcolorref) *pcolorref = result;
    return S_OK;
}

HGDIOBJ GetStockObject(int object) { return object == SYSTEM_FONT ? &systemFont : nullptr; }

HFONT CreateFontIndirectA(const LOGFONTA* logfont) {
    if (!logfont) return nullptr;
    return new HGDIOBJ__{*logfont, false};
}

BOOL DeleteObject(HGDIOBJ object) {
    if (!object) return FALSE;
    if (!object->stock) delete object;
    return TRUE;
}

int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    if (!object) return 0;
    if (!buffer) return static_cast<int>(sizeof(LOGFONTA));
    if (size <= 0) return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(size), sizeof(LOGFONTA));
    std::memcpy(buffer, &object->font, count);
    return static_cast<int>(count);
}
