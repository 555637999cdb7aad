// The grid header: sort arrow, themed and flat item drawing, hot tracking by a mouse hook.
#include "toolkit/controls/gridlist/grid_header.h"

IMPLEMENT_DYNAMIC(COXGridHeader, CHeaderCtrl)

BEGIN_MESSAGE_MAP(COXGridHeader, CHeaderCtrl)
ON_WM_SETCURSOR()
ON_WM_DESTROY()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_NOTIFY_REFLECT_EX(HDN_BEGINTRACKA, OnTrackOrDividerDblClick)
ON_NOTIFY_REFLECT_EX(HDN_BEGINTRACKW, OnTrackOrDividerDblClick)
ON_NOTIFY_REFLECT_EX(HDN_DIVIDERDBLCLICKA, OnTrackOrDividerDblClick)
ON_NOTIFY_REFLECT_EX(HDN_DIVIDERDBLCLICKW, OnTrackOrDividerDblClick)
END_MESSAGE_MAP()

namespace {

// Shared by every header of the process (all live on the user-interface thread).
HHOOK g_hMouseHook = nullptr;
HWND g_hLastMouseWnd = nullptr;
int g_nHookUsers = 0;

// The header a window belongs to: the window itself or its parent.
COXGridHeader* HeaderOf(HWND hWnd)
{
    for (int i = 0; i < 2 && hWnd != nullptr; ++i, hWnd = ::GetParent(hWnd))
        if (auto* p = dynamic_cast<COXGridHeader*>(CWnd::FromHandlePermanent(hWnd)))
            return p;
    return nullptr;
}

constexpr int kThemeHeaderItem = 1; // HP_HEADERITEM
constexpr COLORREF kArrowGrey = RGB(128, 128, 128);

UINT AlignmentFlags(int nFormat)
{
    if ((nFormat & HDF_JUSTIFYMASK) == HDF_CENTER)
        return DT_CENTER;
    if ((nFormat & HDF_JUSTIFYMASK) == HDF_RIGHT)
        return DT_RIGHT;
    return DT_LEFT;
}

} // namespace

COXGridHeader::~COXGridHeader()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    RemoveHookUser();
}

HHOOK COXGridHeader::GetMouseHook()
{
    return g_hMouseHook;
}

void COXGridHeader::PreSubclassWindow()
{
    CHeaderCtrl::PreSubclassWindow();
    AddHookUser();
}

// One hook serves every header; it goes when the last header window does, so a header that
// is destroyed never stops hot tracking for the others.
void COXGridHeader::AddHookUser()
{
    if (m_bCounted)
        return;
    m_bCounted = true;
    if (g_nHookUsers++ == 0 && g_hMouseHook == nullptr)
        g_hMouseHook = ::SetWindowsHookEx(WH_MOUSE, &MouseHookProc, nullptr,
                                          ::GetCurrentThreadId());
}

void COXGridHeader::RemoveHookUser()
{
    if (!m_bCounted)
        return;
    m_bCounted = false;
    if (--g_nHookUsers == 0 && g_hMouseHook != nullptr) {
        ::UnhookWindowsHookEx(g_hMouseHook);
        g_hMouseHook = nullptr;
        g_hLastMouseWnd = nullptr;
    }
}

LRESULT CALLBACK COXGridHeader::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode >= 0 && wParam == WM_MOUSEMOVE) {
        HWND hWnd = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        COXGridHeader* pNew = HeaderOf(hWnd);
        COXGridHeader* pLast = HeaderOf(g_hLastMouseWnd);
        if (pNew != pLast) {
            COXGridHeader* pRepaint = pLast != nullptr ? pLast : pNew;
            pRepaint->Invalidate();
        }
        g_hLastMouseWnd = hWnd;
    }
    return ::CallNextHookEx(g_hMouseHook, nCode, wParam, lParam);
}

BOOL COXGridHeader::SetSortColumn(int nColumn, int nDirection)
{
    if (nColumn != m_nSortColumn) {
        if (m_hWnd != nullptr) {
            HDITEM item{};
            item.mask = HDI_FORMAT;
            if (m_nSortColumn >= 0 && GetItem(m_nSortColumn, &item)) {
                item.fmt = (item.fmt & ~HDF_OWNERDRAW) | HDF_STRING;
                SetItem(m_nSortColumn, &item);
            }
            if (nDirection != 0 && nColumn >= 0 && GetItem(nColumn, &item)) {
                item.fmt |= HDF_OWNERDRAW;
                SetItem(nColumn, &item);
            }
            Invalidate();
        }
    } else if (nDirection != m_nSortDirection && m_hWnd != nullptr) {
        Invalidate(); // the arrow turns
    }
    m_nSortColumn = nColumn;
    m_nSortDirection = nDirection;
    return TRUE;
}

CString COXGridHeader::GetItemTextAndFormat(int nItem, int& nFormat) const
{
    char text[256] = {};
    HDITEM item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    nFormat = GetItem(nItem, &item) ? item.fmt : 0;
    return CString(text);
}

void COXGridHeader::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    HTHEME hTheme = m_uxTheme.IsLoaded() ? m_uxTheme.GetWindowTheme(m_hWnd) : nullptr;
    if (hTheme != nullptr)
        DrawThemedItem(hTheme, lpDIS);
    else
        DrawClassicItem(lpDIS);
}

void COXGridHeader::DrawThemedItem(HTHEME hTheme, LPDRAWITEMSTRUCT lpDIS)
{
    const RECT& rcItem = lpDIS->rcItem;
    const int nItem = static_cast<int>(lpDIS->itemID);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    int nState = 1;
    if (lpDIS->itemState & ODS_SELECTED)
        nState = 3;
    else if (::PtInRect(&rcItem, cursor))
        nState = 2;
    m_uxTheme.DrawThemeBackground(hTheme, lpDIS->hDC, kThemeHeaderItem, nState, &rcItem, nullptr);

    int nFormat = 0;
    CString text = GetItemTextAndFormat(nItem, nFormat);
    const UINT align = AlignmentFlags(nFormat);
    RECT rcText = rcItem;
    rcText.left += 9;
    rcText.right -= 9;
    const bool arrow = ShowsArrow(nItem);
    if (arrow) {
        if (align == DT_RIGHT)
            rcText.left = rcItem.left + 21;
        else
            rcText.right = rcItem.right - 21;
    }
    m_uxTheme.DrawThemeText(hTheme, lpDIS->hDC, kThemeHeaderItem, 1, text, -1,
                            DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | align,
                            0, &rcText);
    if (!arrow)
        return;
    CFont marlett;
    if (!marlett.CreatePointFont(120, "Marlett"))
        return;
    HDC hDC = lpDIS->hDC;
    HGDIOBJ hOldFont = ::SelectObject(hDC, marlett);
    int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(hDC, kArrowGrey);
    RECT rcArrow = rcItem;
    rcArrow.left += 5;
    rcArrow.right -= 5;
    ::DrawText(hDC, m_nSortDirection > 0 ? "5" : "6", 1, &rcArrow,
               DT_SINGLELINE | DT_VCENTER | (align == DT_RIGHT ? DT_LEFT : DT_RIGHT));
    ::SetTextColor(hDC, oldColor);
    ::SetBkMode(hDC, oldMode);
    ::SelectObject(hDC, hOldFont);
}

void COXGridHeader::DrawClassicItem(LPDRAWITEMSTRUCT lpDIS)
{
    HDC hDC = lpDIS->hDC;
    const int nItem = static_cast<int>(lpDIS->itemID);
    const int saved = ::SaveDC(hDC);
    RECT rect = lpDIS->rcItem;
    ::IntersectClipRect(hDC, rect.left, rect.top, rect.right, rect.bottom);
    ::FillRect(hDC, &rect, ::GetSysColorBrush(COLOR_BTNFACE));

    SIZE space{};
    ::GetTextExtentPoint32(hDC, " ", 1, &space);
    const int u = 2 * space.cx;

    int nFormat = 0;
    CString text = GetItemTextAndFormat(nItem, nFormat);
    const UINT flags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE | DT_VCENTER |
                       AlignmentFlags(nFormat);
    if (lpDIS->itemState & ODS_SELECTED) {
        ::OffsetRect(&rect, 1, 0);
        rect.top += 2;
    }
    RECT rcText = rect;
    rcText.left += u;
    rcText.right -= nItem == m_nSortColumn ? 4 * u : u;
    if (rcText.left < rcText.right) {
        ::SetBkMode(hDC, TRANSPARENT);
        ::SetTextColor(hDC, ::GetSysColor(COLOR_BTNTEXT));
        ::DrawText(hDC, text, text.GetLength(), &rcText, flags);
    }

    if (ShowsArrow(nItem)) {
        const int R = rect.right, B = rect.bottom;
        CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        CPen dark(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        HGDIOBJ hOldPen = ::SelectObject(hDC, light);
        if (m_nSortDirection > 0) {
            ::MoveToEx(hDC, R - 2 * u, u - 1, nullptr);
            ::LineTo(hDC, R - 3 * u / 2, B - u);
            ::LineTo(hDC, R - 5 * u / 2 - 2, B - u);
            ::MoveToEx(hDC, R - 5 * u / 2 - 1, B - u - 1, nullptr);
            ::SelectObject(hDC, dark);
            ::LineTo(hDC, R - 2 * u, u - 2);
        } else {
            ::MoveToEx(hDC, R - 3 * u / 2, u - 1, nullptr);
            ::LineTo(hDC, R - 2 * u - 1, B - u + 1);
            ::MoveToEx(hDC, R - 2 * u - 1, B - u, nullptr);
            ::SelectObject(hDC, dark);
            ::LineTo(hDC, R - 5 * u / 2 - 1, u - 1);
            ::LineTo(hDC, R - 3 * u / 2, u - 1);
        }
        ::SelectObject(hDC, hOldPen);
    }
    ::RestoreDC(hDC, saved);
}

BOOL COXGridHeader::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (!m_bAllowResize) {
        HDHITTESTINFO hit{};
        ::GetCursorPos(&hit.pt);
        ScreenToClient(&hit.pt);
        HitTest(&hit);
        if (hit.flags & HHT_ONDIVIDER)
            return TRUE;
    }
    return CHeaderCtrl::OnSetCursor(pWnd, nHitTest, message);
}

void COXGridHeader::OnDestroy()
{
    RemoveHookUser();
    CHeaderCtrl::OnDestroy();
}

void COXGridHeader::OnLButtonDown(UINT nFlags, CPoint point)
{
    Invalidate();
    CHeaderCtrl::OnLButtonDown(nFlags, point);
}

void COXGridHeader::OnMouseMove(UINT nFlags, CPoint point)
{
    CHeaderCtrl::OnMouseMove(nFlags, point);
}

BOOL COXGridHeader::OnTrackOrDividerDblClick(NMHDR*, LRESULT* pResult)
{
    *pResult = !m_bAllowResize;
    return !m_bAllowResize;
}
