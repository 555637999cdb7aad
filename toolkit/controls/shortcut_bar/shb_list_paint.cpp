// The shortcut-bar list: painting (off-screen per item, without erasing), tool tips and
// renaming items in place.
#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

#include <algorithm>

#include "toolkit/controls/shortcut_bar/shortcut_bar.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"

namespace {

constexpr int kMargin = 2;
constexpr UINT kLargeTextFormat =
    DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS;
constexpr DWORD kLargeEditStyle = WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_CENTER;
constexpr DWORD kSmallEditStyle = WS_BORDER | ES_AUTOHSCROLL;
constexpr int kMinEditWidth = 10;

// Widens r to at least cx pixels, around its centre.
void AtLeastWide(CRect& r, int cx)
{
    if (r.Width() >= cx)
        return;
    const int grow = cx - r.Width();
    r.left -= grow / 2;
    r.right = r.left + cx;
}

} // namespace

COLORREF COXSHBListCtrl::DefaultBkColor() const
{
    return GetBkColor();
}

void COXSHBListCtrl::FillBackground(CDC* pDC, const CRect& rect) const
{
    COXShortcutBarSkin* pSkin =
        m_pShortcutBar != nullptr ? m_pShortcutBar->GetShortcutBarSkin() : nullptr;
    if (pSkin != nullptr) {
        pSkin->FillBackground(pDC, rect, const_cast<COXSHBListCtrl*>(this),
                              m_pShortcutBar->HasGroupBkColor(m_hGroup),
                              m_pShortcutBar->GetGroupBkColor(m_hGroup));
        return;
    }
    const CRect piece(0, 0, rect.Width(), rect.Height());
    pDC->FillSolidRect(&piece, GetBkColor());
}

void COXSHBListCtrl::DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed) const
{
    COXShortcutBarSkin* pSkin =
        m_pShortcutBar != nullptr ? m_pShortcutBar->GetShortcutBarSkin() : nullptr;
    if (pSkin != nullptr) {
        pSkin->DrawItemFrame(pDC, rect, bHot, bPressed, const_cast<COXSHBListCtrl*>(this));
        return;
    }
    const COLORREF back = GetBkColor();
    const COLORREF light = AdjustColorBrightness(back, 64);
    const COLORREF dark = AdjustColorBrightness(back, -128);
    if (bPressed)
        pDC->Draw3dRect(&rect, dark, light);
    else
        pDC->Draw3dRect(&rect, light, dark);
}

void COXSHBListCtrl::DrawWholeItem(CDC* pDC, int nItem, const CRect& rectBound)
{
    FillBackground(pDC, rectBound);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemID = static_cast<UINT>(nItem);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_DEFAULT;
    dis.hwndItem = m_hWnd;
    dis.hDC = pDC->m_hDC;
    dis.rcItem = CRect(0, 0, rectBound.Width(), rectBound.Height());
    DrawItem(&dis);
}

void COXSHBListCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if ((GetBarStyle() & SHB_STYLE_NOSCROLLBUTTONS) == 0) {
        DrawScrollButtons(&dc);
        for (const CRect* r : {&m_rectTopScroll, &m_rectBottomScroll})
            if (!r->IsRectEmpty())
                dc.ExcludeClipRect(r);
    }

    // The background first, outside the items; each item then comes whole from a bitmap.
    const int saved = dc.SaveDC();
    for (const auto& [item, r] : m_mapRects) {
        const CRect b = ClientBound(item);
        if (!b.IsRectEmpty())
            dc.ExcludeClipRect(&b);
    }
    FillBackground(&dc, client);
    dc.RestoreDC(saved);

    for (const auto& [item, r] : m_mapRects) {
        const CRect b = ClientBound(item);
        CRect meet;
        if (b.IsRectEmpty() || !meet.IntersectRect(&b, &client))
            continue;
        CDC memDC;
        CBitmap bitmap;
        if (!memDC.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, b.Width(), b.Height()))
            return;
        CBitmap* pOld = memDC.SelectObject(&bitmap);
        DrawWholeItem(&memDC, item, b);
        dc.BitBlt(b.left, b.top, b.Width(), b.Height(), &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(pOld);
    }
    DrawInsertMark(&dc);
}

void COXSHBListCtrl::DrawScrollButtons(CDC* pDC)
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    const bool down = (::GetAsyncKeyState(::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON
                                                                            : VK_LBUTTON) &
                       0x8000) != 0;
    auto draw = [&](CRect rect, BOOL bScrolling, UINT state) {
        if (rect.IsRectEmpty())
            return;
        if (bScrolling && (m_bAutoScrolling || (down && rect.PtInRect(cursor))))
            state |= DFCS_PUSHED;
        pDC->DrawFrameControl(&rect, DFC_SCROLL, state);
    };
    draw(m_rectTopScroll, m_bScrollingUp, DFCS_SCROLLUP);
    draw(m_rectBottomScroll, m_bScrollingDown, DFCS_SCROLLDOWN);
}

void COXSHBListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (!m_bCreatingDragImage) {
        SHB_NOTIFYHDR nm = Notify(SHBN_DRAWITEM, static_cast<int>(lpDrawItemStruct->itemID),
                                  reinterpret_cast<LPARAM>(lpDrawItemStruct));
        if (SendSHBNotification(&nm) != 0)
            return;
    }
    const int nItem = static_cast<int>(lpDrawItemStruct->itemID);
    const ItemRects* r = Rects(nItem);
    if (r == nullptr)
        return;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);

    CImageList* pImages = ViewImageList();
    const int nImage = GetItemImage(nItem);
    if (pImages != nullptr && !r->image.IsRectEmpty() && nImage >= 0 &&
        nImage < pImages->GetImageCount()) {
        CRect inner = r->image;
        inner.DeflateRect(3, 3);
        pImages->Draw(pDC, nImage, inner.TopLeft(), ILD_TRANSPARENT);
    }
    if (!m_bCreatingDragImage && !r->image.IsRectEmpty()) {
        const bool pressed = nItem == m_nSelectedItem && nItem == m_nPressedItem &&
                             (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        if (nItem == m_nHotItem)
            DrawItemFrame(pDC, r->image, TRUE, pressed);
        else if ((GetBarStyle() & SHB_STYLE_SHOWACTIVE) != 0 && nItem == m_nActiveItem)
            DrawItemFrame(pDC, r->image, FALSE, TRUE);
    }

    const CString text = GetItemText(nItem, 0);
    if (text.IsEmpty() || r->text.IsRectEmpty())
        return;
    HFONT hFont = ItemFont();
    CFont underlined;
    if ((GetBarStyle() & SHB_STYLE_UNDERLINEHOT) != 0 && nItem == m_nHotItem) {
        LOGFONT lf{};
        ::GetObject(hFont, sizeof(lf), &lf);
        lf.lfUnderline = TRUE;
        if (underlined.CreateFontIndirect(&lf))
            hFont = static_cast<HFONT>(underlined.GetSafeHandle());
    }
    HGDIOBJ oldFont = ::SelectObject(pDC->m_hDC, hFont);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetTextColor());
    CRect rect = r->text;
    if (GetView() != 2) {
        rect.DeflateRect(2, 2);
        pDC->DrawText(text, &rect, kLargeTextFormat);
    } else {
        pDC->DrawText(text, &rect, DT_SINGLELINE | DT_VCENTER);
    }
    ::SelectObject(pDC->m_hDC, oldFont);
}

// ---- Tool tips ----

INT_PTR COXSHBListCtrl::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if ((GetBarStyle() & SHB_STYLE_INFOTIPS) == 0)
        return -1;
    int flags = 0;
    const int item = HitTestItem(point, &flags, FALSE);
    if (item == -1 || pTI == nullptr)
        return -1;
    CRect both;
    GetItemRect(item, &both, LVIR_BOUNDS);
    pTI->hwnd = m_hWnd;
    pTI->uId = static_cast<UINT_PTR>(item + 1);
    pTI->rect = both;
    pTI->lpszText = LPSTR_TEXTCALLBACK;
    return item + 1;
}

BOOL COXSHBListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR->code == SHBEN_FINISHEDIT && pNMHDR->idFrom == SHB_IDC_EDIT) {
        FinishRename(reinterpret_cast<NMSHBEDIT*>(lParam)->bOK);
        *pResult = 0;
        return TRUE;
    }
    if ((pNMHDR->code == TTN_NEEDTEXTA || pNMHDR->code == TTN_NEEDTEXTW) &&
        pNMHDR->hwndFrom != nullptr) {
        if (pNMHDR->idFrom == 0)
            return FALSE;
        SHB_INFOTIP tip{};
        SHB_NOTIFYHDR nm = Notify(SHBN_GETITEMINFOTIP, static_cast<int>(pNMHDR->idFrom) - 1,
                                  reinterpret_cast<LPARAM>(&tip));
        SendSHBNotification(&nm);
        tip.szText[sizeof(tip.szText) - 1] = '\0';
        if (pNMHDR->code == TTN_NEEDTEXTA) {
            auto* pTTT = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            lstrcpynA(pTTT->szText, tip.szText, sizeof(pTTT->szText));
            pTTT->lpszText = tip.lpszText != nullptr ? tip.lpszText : pTTT->szText;
            pTTT->hinst = tip.hinst;
        } else {
            auto* pTTT = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            ::MultiByteToWideChar(CP_THREAD_ACP, 0, tip.szText, -1, pTTT->szText,
                                  static_cast<int>(std::size(pTTT->szText)));
            pTTT->szText[std::size(pTTT->szText) - 1] = L'\0';
            pTTT->lpszText = pTTT->szText;
            pTTT->hinst = tip.hinst;
        }
        *pResult = 0;
        return TRUE;
    }
    return CListCtrl::OnNotify(wParam, lParam, pResult);
}

// ---- Renaming ----

COXSHBEdit* COXSHBListCtrl::EditLabel(int nItem)
{
    if ((GetBarStyle() & SHB_STYLE_EDITITEMS) == 0)
        return nullptr;
    if (m_edit.IsEditing())
        m_edit.FinishEdit(TRUE);
    const ItemRects* r = Rects(nItem);
    if (r == nullptr)
        return nullptr;
    SHB_NOTIFYHDR nm = Notify(SHBN_BEGINITEMEDIT, nItem);
    if (SendSHBNotification(&nm) != 0)
        return nullptr;

    CRect client;
    GetClientRect(&client);
    const bool large = GetView() != 2;
    const CString text = GetItemText(nItem, 0);
    const CRect bound = ClientBound(nItem);
    CRect rect = r->text;
    if (text.IsEmpty() || rect.IsRectEmpty()) {
        // Room for one space beside (small icons) or below (large icons) the image.
        HDC hDC = ::GetDC(m_hWnd);
        HGDIOBJ oldFont = ::SelectObject(hDC, ItemFont());
        SIZE space{};
        ::GetTextExtentPoint32(hDC, " ", 1, &space);
        ::SelectObject(hDC, oldFont);
        ::ReleaseDC(m_hWnd, hDC);
        if (large) {
            rect.SetRect(0, r->image.bottom, space.cx + 4, r->image.bottom + space.cy + 4);
            rect.OffsetRect((client.Width() - rect.Width()) / 2, 0);
        } else {
            const int left = r->image.IsRectEmpty() ? kMargin : r->image.right;
            rect.SetRect(left, 0, left + space.cx + 4, space.cy + 4);
        }
    }
    rect.OffsetRect(bound.TopLeft());
    if (!large)
        rect.OffsetRect(-2, 0);
    const CRect inner(client.left, client.top + kMargin, client.right, client.bottom - kMargin);
    if (rect.left < inner.left || rect.top < inner.top || rect.right > inner.right ||
        rect.bottom > inner.bottom)
        return nullptr;

    SHB_EDITINFO info{};
    info.nMask = 0xFF;
    info.lpszText = text;
    info.rectDisplay = rect;
    info.bEnlargeAsTyping = TRUE;
    info.nSelStart = 0;
    info.nSelEnd = -1;
    info.pFont = CFont::FromHandle(ItemFont());
    CRect minimum = rect;
    if (large) {
        info.dwStyle = kLargeEditStyle;
        info.rectBound = CRect(client.left, rect.top, client.right, inner.bottom);
        AtLeastWide(minimum, kMinEditWidth);
    } else {
        info.dwStyle = kSmallEditStyle;
        info.rectBound = CRect(rect.left, rect.top, client.right, rect.bottom);
        minimum.right = std::max(minimum.right, minimum.left + kMinEditWidth);
    }
    info.rectMin = minimum;
    if (!m_edit.StartEdit(&info))
        return nullptr;
    m_nEditItem = nItem;
    return &m_edit;
}

void COXSHBListCtrl::FinishRename(BOOL bOK)
{
    const int nItem = m_nEditItem;
    m_nEditItem = -1;
    if (!bOK || Rects(nItem) == nullptr)
        return;
    CString text;
    m_edit.GetWindowText(text);
    SHB_NOTIFYHDR nm =
        Notify(SHBN_ENDITEMEDIT, nItem, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
    if (SendSHBNotification(&nm) == 0)
        SetItemText(nItem, 0, text);
}
