// What the shortcut bar, its item lists and its in-place editor share with each other and with
// the bar's owner: notification codes and records, private messages, style bits, the edit
// request and the clipboard format of dragged items.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CFont;
class CMenu;
class COXShortcutBar;

// A group of a bar: an opaque non-zero number, also the control id of the group's list.
using HSHBGROUP = UINT_PTR;

// Bar style bits. A list without a bar derives some of them from its own window style.
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

// Notifications: WM_NOTIFY to the owner (the parent when no owner is set), wParam the control
// id, lParam an SHB_NOTIFYHDR. "refused"/"handled" below is the meaning of a non-zero answer.
constexpr UINT SHBN_DRAGENTER = 32932;         // list; lParam SHBDROPTARGETACTION*; handled
constexpr UINT SHBN_DRAGLEAVE = 32933;         // bar, list; as above
constexpr UINT SHBN_DRAGOVER = 32934;          // bar, list; as above
constexpr UINT SHBN_DROP = 32936;              // list; as above
constexpr UINT SHBN_DRAGGROUP = 32976;         // bar; dragged group changes; POINT* offset
constexpr UINT SHBN_BEGINGROUPEDIT = 32977;    // bar; refused
constexpr UINT SHBN_DELETEGROUP = 32978;       // bar; refused
constexpr UINT SHBN_ENDGROUPEDIT = 32979;      // bar; LPCTSTR text; new text not applied
constexpr UINT SHBN_GETHEADERINFOTIP = 32980;  // bar; SHB_INFOTIP*
constexpr UINT SHBN_GROUPEXPANDED = 32981;     // bar
constexpr UINT SHBN_GROUPEXPANDING = 32983;    // bar; refused
constexpr UINT SHBN_DRAWHEADER = 32984;        // bar; DRAWITEMSTRUCT*; owner drew it
constexpr UINT SHBN_DROPGROUP = 32985;         // bar; lParam the target group; orders kept
constexpr UINT SHBN_INSERTGROUP = 32986;       // bar; the request; refused
constexpr UINT SHBN_BEGINDRAGITEM = 32987;     // list; POINT* hot spot
constexpr UINT SHBN_BEGINITEMEDIT = 32988;     // list; refused
constexpr UINT SHBN_DELETEALLITEMS = 32989;    // list
constexpr UINT SHBN_DELETEITEM = 32990;        // list
constexpr UINT SHBN_ENDITEMEDIT = 32991;       // list; LPCTSTR new text; not applied
constexpr UINT SHBN_GETITEMINFOTIP = 32992;    // list; SHB_INFOTIP*
constexpr UINT SHBN_INSERTITEM = 32993;        // list; item = its index; LVITEM*
constexpr UINT SHBN_SELECTITEM = 32994;        // list; refused
constexpr UINT SHBN_ACTIVATEITEM = 32995;      // list; refused
constexpr UINT SHBN_HOTITEM = 32996;           // list; refused
constexpr UINT SHBN_DRAWITEM = 32997;          // list; DRAWITEMSTRUCT*; owner drew it
constexpr UINT SHBN_GETDROPTARGET = 32998;     // bar, list; out: COleDropTarget* in lParam
constexpr UINT SHBN_GETDROPSOURCE = 32999;     // list; out: COleDropSource* in lParam
constexpr UINT SHBN_BEGINDRAGDROPITEM = 33000; // list; COleDataSource*; refused
constexpr UINT SHBN_GETEXTRADRAGDATA = 33001;  // list; SHB_EXTRADRAGDATA* to fill
constexpr UINT SHBN_SETEXTRADRAGDATA = 33002;  // list; item = insert position; SHB_EXTRADRAGDATA*
constexpr UINT SHBN_ENDDRAGDROPITEM = 33003;   // list; lParam the resulting DROPEFFECT
constexpr UINT SHBN_CONTEXTMENU = 33004;       // bar; SHB_CONTEXTMENUINFO*; bar shows no menu

// The in-place editor's report to its parent: WM_NOTIFY from control id SHB_IDC_EDIT with an
// NMSHBEDIT record.
constexpr UINT SHBEN_FINISHEDIT = 32975;
constexpr UINT SHB_IDC_EDIT = 0xFFFF;

// Private messages between the bar and its child windows (sent; their result is 0).
constexpr UINT SHBM_POPULATECONTEXTMENU = 0x80EE; // lParam SHB_CONTEXTMENUINFO*
constexpr UINT SHBM_SETSHBGROUP = 0x80EF;         // lParam the group; attaches a list to its bar
constexpr UINT SHBM_GROUPINFOCHANGED = 0x80F0;    // lParam the changed group-info mask
constexpr UINT SHBM_SHBINFOCHANGED = 0x80F1;      // lParam SHBIF_* flags
constexpr UINT SHBM_DELETESHBGROUP = 0x80F2;      // the group is being deleted
constexpr UINT SHBM_CHECKMOUSEPOS = 0x80F3;       // posted by a list to itself
constexpr UINT SHBM_STARTDRAGDROP = 0x80F4;       // posted; wParam item, lParam COleDataSource*

// Flags of SHBM_SHBINFOCHANGED.
constexpr LPARAM SHBIF_SCROLLBUTTONS = 0x01; // recompute the scroll buttons
constexpr LPARAM SHBIF_REDRAW = 0x20;        // recompute them and repaint
// Group-info mask bits a list reacts to in SHBM_GROUPINFOCHANGED.
constexpr LPARAM SHBGI_VIEW = 0x00200000;
constexpr LPARAM SHBGI_DESCRIPTOR = 0x00400000;

// The record of every notification.
struct SHB_NOTIFYHDR {
    NMHDR hdr;         // the bar's window and id for a list in a bar, else the sender's own
    HSHBGROUP hGroup;  // 0 for a list alone
    int nItem;         // -1 when none
    LPARAM lParam;     // see the codes above
};

// A tool-tip request: the requester zero-fills it; the owner writes szText or sets lpszText.
struct SHB_INFOTIP {
    LPSTR lpszText;
    char szText[80];
    HINSTANCE hinst;
};

struct SHB_CONTEXTMENUINFO {
    CMenu* pMenu;
    COXShortcutBar* pShortcutBar;
    HSHBGROUP hGroup;
    POINT point; // screen coordinates
};

// Extra bytes of a dragged item: the owner fills both fields for SHBN_GETEXTRADRAGDATA (the
// list copies the bytes at once); on SHBN_SETEXTRADRAGDATA they point into the dropped block.
struct SHB_EXTRADRAGDATA {
    DWORD dwDataSize;
    LPVOID pData;
};

// The editor's report (SHBEN_FINISHEDIT).
struct NMSHBEDIT {
    NMHDR hdr;
    BOOL bOK; // TRUE when the new text was accepted
};

// Edit request of COXSHBEdit::StartEdit; each field counts only when its bit is in nMask.
constexpr UINT SHBEIF_TEXT = 0x001;
constexpr UINT SHBEIF_RECTDISPLAY = 0x002;
constexpr UINT SHBEIF_RECTBOUND = 0x004;
constexpr UINT SHBEIF_STYLE = 0x008;
constexpr UINT SHBEIF_ENLARGE = 0x010; // auto-size; needs SHBEIF_RECTBOUND
constexpr UINT SHBEIF_SELRANGE = 0x020;
constexpr UINT SHBEIF_FONT = 0x040;
constexpr UINT SHBEIF_RECTMIN = 0x080;
constexpr UINT SHBEIF_CLRTEXT = 0x100;
constexpr UINT SHBEIF_CLRBACK = 0x200;

struct SHB_EDITINFO {
    LPCTSTR lpszText;
    RECT rectDisplay;  // parent's client coordinates
    RECT rectBound;    // the area the editor may grow into
    DWORD dwStyle;
    BOOL bEnlargeAsTyping;
    int nSelStart;     // 0 and -1 select all
    int nSelEnd;
    CFont* pFont;      // copied by the editor
    RECT rectMin;
    COLORREF clrText;
    COLORREF clrBack;  // default COLOR_WINDOW
    UINT nMask;
};

class CWnd;

// Sends a notification from pFrom (its window and control id) to pFrom's owner, or its parent
// when it has no owner; 0 when it has neither. The record's header is filled here.
LRESULT SHBSendNotify(CWnd* pFrom, UINT nCode, HSHBGROUP hGroup, int nItem, LPARAM lParam = 0);
LRESULT SHBSendNotify(CWnd* pFrom, SHB_NOTIFYHDR* pNotify);

// The clipboard format of dragged items, "Shortcut bar child window item", registered when the
// program starts.
CLIPFORMAT SHBItemClipFormat();

// Colour arithmetic shared by the bar, its lists and the skins.
// Each of red, green and blue plus nAmount, clamped to 0..255.
COLORREF AdjustColorBrightness(COLORREF clr, int nAmount);
// Each channel replaced by 255 minus its value.
COLORREF InvertColor(COLORREF clr);
// TRUE when the mean absolute channel difference (integer division) is at most nThreshold.
BOOL AreColorsSimilar(COLORREF clrA, COLORREF clrB, int nThreshold);
