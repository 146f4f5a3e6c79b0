// Colours, fonts and the font interface, in the shapes the Windows graphics
// and OLE headers give them.
#pragma once

#include "platform/posix/AutomationTypes.h"

// ---- Colours ---------------------------------------------------------------

using COLORREF = DWORD;  // red in the low byte
using OLE_COLOR = DWORD; // high byte: 0x00 RGB, 0x01 palette index, 0x02 palette RGB, 0x80 system colour
struct HPALETTE__;
using HPALETTE = HPALETTE__*;

#define RGB(r, g, b) (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                                            (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))
#define COLOR_MENUBAR 30

// The colour of a system colour index; 0 for an index the platform does not
// know (as Windows answers).
DWORD GetSysColor(int index);
// A colour of any OLE colour kind as a plain red-green-blue value.
HRESULT OleTranslateColor(OLE_COLOR clr, HPALETTE hpal, COLORREF* pcolorref);

// ---- Fonts -----------------------------------------------------------------

#define LF_FACESIZE 32
#define SYSTEM_FONT 13

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA keeps the Windows size");

struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
using HFONT = HGDIOBJ;

HGDIOBJ GetStockObject(int object);
HFONT CreateFontIndirectA(const LOGFONTA* logfont);
// Stock objects are never deleted; deleting one succeeds and does nothing.
BOOL DeleteObject(HGDIOBJ object);
// Copies up to `size` bytes of the object's description; with a null buffer
// answers the full size. 0 for a handle that is no object.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);

// ---- The font interface ----------------------------------------------------

// A currency value, in ten-thousandths.
struct CY {
    LONGLONG int64;
};

extern const IID IID_IFont;

struct IFont : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Name(BSTR name) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Size(CY* size) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Size(CY size) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Bold(BOOL* bold) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Bold(BOOL bold) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Italic(BOOL* italic) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Italic(BOOL italic) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Underline(BOOL* underline) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Underline(BOOL underline) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Strikethrough(BOOL* strikethrough) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Strikethrough(BOOL strikethrough) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Weight(SHORT* weight) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Weight(SHORT weight) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Charset(SHORT* charset) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Charset(SHORT charset) = 0;
    // Slot 19: the font's handle, owned by the font object.
    virtual HRESULT STDMETHODCALLTYPE get_hFont(HFONT* font) = 0;

protected:
    ~IFont() = default;
};
