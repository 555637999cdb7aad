// Thin wrappers of the standard and common controls and of menus and image lists.
// Classes here: CEdit, CButton, CBitmapButton, CStatic, CProgressCtrl, CTabCtrl,
// CSpinButtonCtrl, CImageList, CMenu.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "framework/wnd.h"

class CArchive;

// CEdit: client side of an EDIT control.
class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)
public:
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create("EDIT", nullptr, dwStyle, rect, pParentWnd, nID);
    }
    void SetSel(int nStart, int nEnd, BOOL bNoScroll = FALSE)
    {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(nStart), nEnd);
        if (!bNoScroll)
            SendMessage(EM_SCROLLCARET);
    }
    void GetSel(int& nStart, int& nEnd) const
    {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        nStart = static_cast<int>(s);
        nEnd = static_cast<int>(e);
    }
    void ReplaceSel(LPCTSTR text, BOOL bCanUndo = FALSE)
    {
        SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(text));
    }
    void SetMargins(UINT nLeft, UINT nRight)
    {
        SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
    }
    void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax); }
    void ScrollCaret() { SendMessage(EM_SCROLLCARET); }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE)
    {
        return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly));
    }
};

// CButton: client side of a BUTTON control; owner-drawn buttons draw in DrawItem, reached by
// reflection of the parent's WM_DRAWITEM.
class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)
public:
    virtual BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                        UINT nID)
    {
        return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
    }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE)
    {
        SendMessage(BM_SETSTYLE, nStyle, bRedraw);
    }
    // Draws an owner-drawn button; the base draws nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// CBitmapButton: an owner-drawn button showing one of up to four bitmaps (up, down, focused,
// disabled) loaded from resources.
class CBitmapButton : public CButton {
    DECLARE_DYNAMIC(CBitmapButton)
public:
    BOOL LoadBitmaps(UINT nIDUp, UINT nIDDown = 0, UINT nIDFocus = 0, UINT nIDDisabled = 0);
    void SizeToContent();
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    CBitmap m_bitmap, m_bitmapSel, m_bitmapFocus, m_bitmapDisabled;
};

// CStatic: client side of a STATIC control.
class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)
public:
    virtual BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                        UINT nID = 0xFFFF)
    {
        return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
    }
};

// CProgressCtrl: client side of a progress bar of the common controls. The bar clamps every
// position to its range.
class CProgressCtrl : public CWnd {
    DECLARE_DYNAMIC(CProgressCtrl)
public:
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    void SetRange(short nLower, short nUpper) { SetRange32(nLower, nUpper); }
    void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, nLower, nUpper); }
    void GetRange(int& nLower, int& nUpper) const
    {
        nLower = static_cast<int>(SendMessage(PBM_GETRANGE, TRUE));
        nUpper = static_cast<int>(SendMessage(PBM_GETRANGE, FALSE));
    }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
    // Each setter returns the previous position.
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, nPos)); }
    int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, nPos)); }
    int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, nStep)); }
    int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
};

// CImageList: owns an image list of the common controls.
class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    ~CImageList() { DeleteImageList(); }

    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    {
        return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
    }
    BOOL Attach(HIMAGELIST h)
    {
        if (m_hImageList != nullptr || h == nullptr)
            return FALSE;
        m_hImageList = h;
        return TRUE;
    }
    HIMAGELIST Detach() { return std::exchange(m_hImageList, nullptr); }
    BOOL DeleteImageList()
    {
        HIMAGELIST h = Detach();
        return h != nullptr && ImageList_Destroy(h);
    }
    int Add(CBitmap* pbmImage, COLORREF crMask)
    {
        return ImageList_AddMasked(m_hImageList, *pbmImage, crMask);
    }
    int Add(HICON hIcon) { return ImageList_AddIcon(m_hImageList, hIcon); }
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
    {
        return ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
    }
    // A masked list of cx-wide images cut from a bitmap resource.
    BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    COLORREF SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
    COLORREF GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
    BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const
    {
        return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
    }
    HICON ExtractIcon(int nImage) { return ImageList_ExtractIcon(nullptr, m_hImageList, nImage); }
    int Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
    BOOL Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }

    // Dragging an image over a window (the system's drag-image layer): BeginDrag on this list,
    // then the static calls in screen or window coordinates, EndDrag at the end.
    BOOL BeginDrag(int nImage, CPoint ptHotSpot)
    {
        return ImageList_BeginDrag(m_hImageList, nImage, ptHotSpot.x, ptHotSpot.y);
    }
    // pt relative to pWndLock's window rectangle (the desktop's when null).
    static BOOL DragEnter(CWnd* pWndLock, CPoint point)
    {
        return ImageList_DragEnter(AfxHwnd(pWndLock), point.x, point.y);
    }
    static BOOL DragLeave(CWnd* pWndLock) { return ImageList_DragLeave(AfxHwnd(pWndLock)); }
    static BOOL DragMove(CPoint pt) { return ImageList_DragMove(pt.x, pt.y); }
    static BOOL DragShowNolock(BOOL bShow) { return ImageList_DragShowNolock(bShow); }
    static void EndDrag() { ImageList_EndDrag(); }
    BOOL SetDragCursorImage(int nDrag, CPoint ptHotSpot)
    {
        return ImageList_SetDragCursorImage(m_hImageList, nDrag, ptHotSpot.x, ptHotSpot.y);
    }
    // The list of the drag under way (a temporary wrapper) and the hot spot and position.
    static CImageList* GetDragImage(LPPOINT lpPoint, LPPOINT lpPointHotSpot)
    {
        return FromHandle(ImageList_GetDragImage(lpPoint, lpPointHotSpot));
    }

    // The image list in the common controls' stream format, through an archive: Read makes
    // this object's list from the archive (FALSE when it already has one or the data is not
    // an image list), Write stores it. Archive exceptions pass through.
    BOOL Read(CArchive* pArchive);
    BOOL Write(CArchive* pArchive);

    // A borrowing wrapper that lives until the thread's next idle time; null for null.
    static CImageList* FromHandle(HIMAGELIST h);
    static void DeleteTempMap();
};

// CTabCtrl: client side of a tab control of the common controls.
class CTabCtrl : public CWnd {
    DECLARE_DYNAMIC(CTabCtrl)
public:
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    LONG InsertItem(int nItem, LPCTSTR lpszItem)
    {
        return InsertItem(TCIF_TEXT, nItem, lpszItem, 0, 0);
    }
    LONG InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
    {
        return InsertItem(TCIF_TEXT | TCIF_IMAGE, nItem, lpszItem, nImage, 0);
    }
    LONG InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam);
    LONG InsertItem(int nItem, TCITEM* pItem)
    {
        return static_cast<LONG>(SendMessage(TCM_INSERTITEM, nItem, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, nItem)); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, nItem)); }
    int GetCurFocus() const { return static_cast<int>(SendMessage(TCM_GETCURFOCUS)); }
    int GetRowCount() const { return static_cast<int>(SendMessage(TCM_GETROWCOUNT)); }
    BOOL GetItem(int nItem, TCITEM* pItem) const
    {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEM, nItem, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL SetItem(int nItem, TCITEM* pItem)
    {
        return static_cast<BOOL>(
            SendMessage(TCM_SETITEM, nItem, reinterpret_cast<LPARAM>(pItem)));
    }
    BOOL GetItemRect(int nItem, LPRECT lpRect) const
    {
        return static_cast<BOOL>(
            SendMessage(TCM_GETITEMRECT, nItem, reinterpret_cast<LPARAM>(lpRect)));
    }
    // bLarger: the window rectangle for a display area; else the display area of a window.
    void AdjustRect(BOOL bLarger, LPRECT lpRect)
    {
        SendMessage(TCM_ADJUSTRECT, bLarger, reinterpret_cast<LPARAM>(lpRect));
    }
    // The tab under a client point, or -1.
    int HitTest(TCHITTESTINFO* pHitTestInfo) const
    {
        return static_cast<int>(
            SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(pHitTestInfo)));
    }
    HIMAGELIST GetImageList() const
    {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TCM_GETIMAGELIST));
    }
    CImageList* SetImageList(CImageList* pImageList)
    {
        SendMessage(TCM_SETIMAGELIST, 0,
                    reinterpret_cast<LPARAM>(pImageList ? pImageList->m_hImageList : nullptr));
        return nullptr;
    }
};

// CSpinButtonCtrl: client side of an up-down control of the common controls.
class CSpinButtonCtrl : public CWnd {
    DECLARE_DYNAMIC(CSpinButtonCtrl)
public:
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
    }
    int GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS)); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS, 0, MAKELONG(nPos, 0))); }
    int GetPos32(BOOL* pbError = nullptr) const
    {
        return static_cast<int>(SendMessage(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(pbError)));
    }
    int SetPos32(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
    void GetRange32(int& nLower, int& nUpper) const
    {
        SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower),
                    reinterpret_cast<LPARAM>(&nUpper));
    }
    void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, nLower, nUpper); }
    CWnd* SetBuddy(CWnd* pWndBuddy)
    {
        return FromHandle(reinterpret_cast<HWND>(
            SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(AfxHwnd(pWndBuddy)))));
    }
};

// CMenu: owns a menu handle (DestroyMenu on destruction).
class CMenu {
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    virtual ~CMenu() { DestroyMenu(); }

    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU hMenu);
    static void DeleteTempMap();
    BOOL Attach(HMENU h)
    {
        if (m_hMenu != nullptr || h == nullptr)
            return FALSE;
        m_hMenu = h;
        return TRUE;
    }
    HMENU Detach() { return std::exchange(m_hMenu, nullptr); }
    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    BOOL LoadMenu(UINT nIDResource)
    {
        return Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource)));
    }
    BOOL DestroyMenu()
    {
        HMENU h = Detach();
        return h != nullptr && ::DestroyMenu(h);
    }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr)
    {
        return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
    {
        return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck);
    }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
    {
        return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr)
    {
        return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, AfxHwnd(pWnd), lpRect);
    }
};
