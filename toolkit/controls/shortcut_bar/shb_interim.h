// Stand-ins until the shared shortcut-bar header lands (removed at the merge).
#pragma once

#include <windows.h>

#include <algorithm>

#include "framework/ui.h"

using HSHBGROUP = UINT_PTR;
class COXShortcutBar;

constexpr DWORD SHB_STYLE_NOITEMDRAG = 0x0001;
constexpr DWORD SHB_STYLE_NODROP = 0x0002;
constexpr DWORD SHB_STYLE_EDITHEADERS = 0x0004;
constexpr DWORD SHB_STYLE_EDITITEMS = 0x0008;
constexpr DWORD SHB_STYLE_INFOTIPS = 0x0010;
constexpr DWORD SHB_STYLE_NOSCROLLBUTTONS = 0x0020;
constexpr DWORD SHB_STYLE_BOLDEXPANDED = 0x0040;
constexpr DWORD SHB_STYLE_UNDERLINEHOT = 0x0080;
constexpr DWORD SHB_STYLE_SHOWACTIVE = 0x0100;
constexpr DWORD SHB_STYLE_NOGROUPDRAG = 0x0200;
constexpr DWORD SHB_STYLE_GROUPDRAGIMAGE = 0x0400;
constexpr DWORD SHB_STYLE_ITEMDRAGIMAGE = 0x0800;
constexpr DWORD SHB_STYLE_AUTOSCROLL = 0x1000;
constexpr DWORD SHB_STYLE_ANIMATEEXPAND = 0x2000;
constexpr DWORD SHB_STYLE_AUTOEXPAND = 0x4000;
constexpr DWORD SHB_STYLE_HOTHEADERS = 0x8000;

constexpr UINT SHBN_DRAGLEAVE = 32933;
constexpr UINT SHBN_DRAGOVER = 32934;
constexpr UINT SHBN_DRAGGROUP = 32976;
constexpr UINT SHBN_BEGINGROUPEDIT = 32977;
constexpr UINT SHBN_DELETEGROUP = 32978;
constexpr UINT SHBN_ENDGROUPEDIT = 32979;
constexpr UINT SHBN_GETHEADERINFOTIP = 32980;
constexpr UINT SHBN_GROUPEXPANDED = 32981;
constexpr UINT SHBN_GROUPEXPANDING = 32983;
constexpr UINT SHBN_DRAWHEADER = 32984;
constexpr UINT SHBN_DROPGROUP = 32985;
constexpr UINT SHBN_INSERTGROUP = 32986;
constexpr UINT SHBN_GETDROPTARGET = 32998;
constexpr UINT SHBN_CONTEXTMENU = 33004;
constexpr UINT SHBN_ENDEDIT = 32975;

constexpr UINT SHBM_POPULATECONTEXTMENU = 0x80EE;
constexpr UINT SHBM_SETSHBGROUP = 0x80EF;
constexpr UINT SHBM_GROUPINFOCHANGED = 0x80F0;
constexpr UINT SHBM_DELETESHBGROUP = 0x80F2;

struct SHB_NOTIFYHDR {
    NMHDR hdr;
    HSHBGROUP hGroup;
    int nItem;
    LPARAM lParam;
};

struct SHB_INFOTIP {
    LPSTR lpszText;
    char szText[80];
    HINSTANCE hinst;
};

struct SHB_CONTEXTMENUINFO {
    CMenu* pMenu;
    COXShortcutBar* pShortcutBar;
    HSHBGROUP hGroup;
    POINT point;
};

static inline COLORREF AdjustColorBrightness(COLORREF clr, int nAmount)
{
    auto ch = [&](int c) { return static_cast<BYTE>(std::clamp(c + nAmount, 0, 255)); };
    return RGB(ch(GetRValue(clr)), ch(GetGValue(clr)), ch(GetBValue(clr)));
}
static inline COLORREF InvertColor(COLORREF clr)
{
    return RGB(255 - GetRValue(clr), 255 - GetGValue(clr), 255 - GetBValue(clr));
}
static inline BOOL AreColorsSimilar(COLORREF a, COLORREF b, int nThreshold)
{
    int d = abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
            abs(GetBValue(a) - GetBValue(b));
    return d / 3 <= nThreshold;
}
