// The Classic, XP and 2003 tab skins.
#include "toolkit/frames/skins/tab_skin.h"

#include <algorithm>
#include <climits>

#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_tab.h"
#include "toolkit/frames/skins/tabview_container.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

namespace {

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

void MenuFont(LOGFONT& lf)
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    lf = ncm.lfMenuFont;
}

struct TabText {
    char text[256] = {};
    int image = -1;
};

TabText GetTabText(CTabCtrl* pTabCtrl, int nItem)
{
    TabText t;
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = t.text;
    item.cchTextMax = 255;
    if (pTabCtrl->GetItem(nItem, &item))
        t.image = item.iImage;
    return t;
}

void Line(CDC* pDC, int x1, int y1, int x2, int y2)
{
    pDC->MoveTo(x1, y1);
    pDC->LineTo(x2, y2);
}

} // namespace

// --- Classic ---

void COXTabSkinClassic::OnPaintTabCtrl(CTabCtrl* pTabCtrl)
{
    if (pTabCtrl->IsKindOf(RUNTIME_CLASS(COXSkinnedTabCtrl)))
        pTabCtrl->Default();
    // A themed XP tab control draws no text on vertical tabs: the labels are drawn again.
    if (!(pTabCtrl->GetStyle() & TCS_VERTICAL) || !IsXPThemeActive())
        return;
    CClientDC dc(pTabCtrl);
    HIMAGELIST hImages = pTabCtrl->GetImageList();
    const BOOL bRight = (pTabCtrl->GetStyle() & TCS_RIGHT) != 0;
    for (int i = 0; i < pTabCtrl->GetItemCount(); ++i) {
        CRect rect;
        pTabCtrl->GetItemRect(i, &rect);
        TabText t = GetTabText(pTabCtrl, i);
        int h = rect.Height();
        if (t.image >= 0 && hImages != nullptr) {
            h -= 10;
            IMAGEINFO info{};
            if (!bRight && ImageList_GetImageInfo(hImages, t.image, &info))
                h -= info.rcImage.bottom - info.rcImage.top;
        }
        rect.OffsetRect(0, h);
        LOGFONT lf{};
        MenuFont(lf);
        lf.lfEscapement = 900;
        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* pOld = dc.SelectObject(&font);
        int oldMode = dc.SetBkMode(TRANSPARENT);
        dc.DrawText(t.text, -1, &rect, DT_NOCLIP);
        dc.SetBkMode(oldMode);
        dc.SelectObject(pOld);
    }
}

void COXTabSkinClassic::OnPaintSpin(CSpinButtonCtrl* pSpin)
{
    pSpin->Default();
}

void COXTabSkinClassic::DrawPageBorder(CDC* pDC, const CRect& rect)
{
    pDC->Draw3dRect(&rect, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
}

void COXTabSkinClassic::OnNcPaintTabCtrl(CTabCtrl* pTabCtrl)
{
    pTabCtrl->Default();
}

// --- XP ---

COXTabSkinXP::COXTabSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin)
{
    m_penShadow.CreatePen(PS_SOLID, 1, Sys(COLOR_BTNSHADOW));
    LOGFONT lf{};
    MenuFont(lf);
    m_fontTab.CreateFontIndirect(&lf);
    m_brushArrow.CreateSolidBrush(pSkin->GetTabTextColor());
    m_penArrow.CreatePen(PS_SOLID, 1, pSkin->GetTabTextColor());
}

void COXTabSkinXP::FillTabBackground(CDC* pDC, const CRect& rect, CTabCtrl*)
{
    pDC->FillSolidRect(&rect, Sys(COLOR_BTNFACE));
}

void COXTabSkinXP::FillTabBand(CDC* pDC, const CRect& rect, BOOL)
{
    pDC->FillSolidRect(&rect, m_pSkin->GetLightFaceColor());
}

void COXTabSkinXP::DrawTabSeparator(CDC* pDC, int x, int top, int bottom)
{
    CPen* pOld = pDC->SelectObject(&m_penShadow);
    Line(pDC, x, top, x, bottom);
    pDC->SelectObject(pOld);
}

void COXTabSkinXP::FillSpinBackground(CDC* pDC, const CRect& rect, BOOL)
{
    pDC->FillSolidRect(&rect, m_pSkin->GetLightFaceColor());
}

void COXTabSkinXP::FillTabItemBackground(CDC* pDC, const CRect& rect, BOOL bSelected, BOOL)
{
    pDC->FillSolidRect(&rect, bSelected ? Sys(COLOR_BTNFACE) : m_pSkin->GetLightFaceColor());
}

void COXTabSkinXP::OnPaintTabCtrl(CTabCtrl* pTabCtrl)
{
    CPaintDC paintDC(pTabCtrl);
    CRect rectClient;
    pTabCtrl->GetClientRect(&rectClient);
    COXOffScreenDC control(&paintDC, rectClient.Width(), rectClient.Height());
    COXOffScreenDC items(&paintDC, rectClient.Width(), rectClient.Height());

    // The control's own scroll arrows, once they exist, are painted by this skin too.
    auto* pSkinned = DYNAMIC_DOWNCAST(COXSkinnedTabCtrl, pTabCtrl);
    if (pSkinned != nullptr && pSkinned->GetSpin().m_hWnd == nullptr) {
        for (HWND h = ::GetWindow(pTabCtrl->m_hWnd, GW_CHILD); h != nullptr;
             h = ::GetWindow(h, GW_HWNDNEXT)) {
            char cls[16] = {};
            ::GetClassNameA(h, cls, sizeof(cls));
            if (lstrcmpiA(cls, "msctls_updown32") == 0) {
                pSkinned->GetSpin().SubclassWindow(h);
                break;
            }
        }
    }

    FillTabBackground(&control.dc, rectClient, pTabCtrl);
    CRect rectDisplay = rectClient;
    pTabCtrl->AdjustRect(FALSE, &rectDisplay);
    CRect rectFrame = rectDisplay;
    rectFrame.bottom -= 1;
    if (auto* pContainer = DYNAMIC_DOWNCAST(COX3DTabViewContainer, pTabCtrl)) {
        rectFrame = pContainer->GetPageRect();
        rectFrame.InflateRect(1, 1);
    }
    {
        CBrush shadow(Sys(COLOR_BTNSHADOW));
        control.dc.FrameRect(&rectFrame, &shadow);
    }

    const BOOL bBottom = (pTabCtrl->GetStyle() & TCS_BOTTOM) != 0;
    if (pTabCtrl->GetRowCount() <= 1) {
        if (bBottom) {
            FillTabBand(&control.dc,
                        CRect(rectClient.left, rectDisplay.bottom + 3, rectClient.right,
                              rectClient.bottom),
                        TRUE);
            CGdiObject* pOld = control.dc.SelectStockObject(BLACK_PEN);
            Line(&control.dc, rectClient.left, rectDisplay.bottom + 2, rectClient.right,
                 rectDisplay.bottom + 2);
            ::SelectObject(control.dc, pOld->m_hObject);
        } else {
            FillTabBand(&control.dc,
                        CRect(rectClient.left, rectClient.top, rectClient.right,
                              rectDisplay.top - 3),
                        FALSE);
            CGdiObject* pOld = control.dc.SelectStockObject(WHITE_PEN);
            Line(&control.dc, rectClient.left, rectDisplay.top - 3, rectClient.right,
                 rectDisplay.top - 3);
            ::SelectObject(control.dc, pOld->m_hObject);
        }
    }

    // The left edge of the scroll arrows, when they are shown.
    int xArrows = INT_MAX;
    if (pSkinned != nullptr && ::IsWindow(pSkinned->GetSpin().m_hWnd) &&
        pSkinned->GetSpin().IsWindowVisible()) {
        CRect rectSpin;
        pSkinned->GetSpin().GetWindowRect(&rectSpin);
        xArrows = rectClient.Width() - rectSpin.Width();
    }

    const int nCount = pTabCtrl->GetItemCount();
    const int nSel = pTabCtrl->GetCurSel();
    auto drawTab = [&](int i) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_TAB;
        dis.CtlID = pTabCtrl->GetDlgCtrlID();
        dis.itemID = i;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (i == nSel) ? 1 : 0;
        dis.hwndItem = pTabCtrl->m_hWnd;
        dis.hDC = items.dc.m_hDC;
        pTabCtrl->GetItemRect(i, &dis.rcItem);
        DrawTabItem(&dis, pTabCtrl);
        DrawTabItemEdges(&dis, pTabCtrl);
        CRect r = dis.rcItem;
        if (r.left > xArrows || r.right < 3)
            return;
        r.right = std::min<int>(r.right, xArrows);
        control.dc.BitBlt(r.left, r.top, r.Width(), r.Height(), &items.dc, r.left, r.top,
                          SRCCOPY);
    };
    for (int i = 0; i < nCount; ++i)
        if (i != nSel)
            drawTab(i);
    if (nSel >= 0 && nSel < nCount)
        drawTab(nSel);

    paintDC.BitBlt(0, 0, rectClient.Width(), rectClient.Height(), &control.dc, 0, 0, SRCCOPY);
    if (pSkinned != nullptr && ::IsWindow(pSkinned->GetSpin().m_hWnd) &&
        pSkinned->GetSpin().IsWindowVisible())
        pSkinned->GetSpin().Invalidate(TRUE);
}

void COXTabSkinXP::DrawTabItem(LPDRAWITEMSTRUCT lpDIS, CTabCtrl* pTabCtrl)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rect = lpDIS->rcItem;
    const BOOL bSelected = lpDIS->itemState == 1;
    const BOOL bBottom = (pTabCtrl->GetStyle() & TCS_BOTTOM) != 0;
    FillTabItemBackground(pDC, rect, bSelected, bBottom);
    const COLORREF clrText = bSelected ? Sys(COLOR_BTNTEXT) : m_pSkin->GetTabTextColor();

    TabText t = GetTabText(pTabCtrl, static_cast<int>(lpDIS->itemID));
    rect.top += 3;
    HIMAGELIST hImages = pTabCtrl->GetImageList();
    if (t.image >= 0 && hImages != nullptr) {
        ImageList_Draw(hImages, t.image, pDC->m_hDC, rect.left + 3, rect.top - 1,
                       ILD_TRANSPARENT);
        IMAGEINFO info{};
        if (ImageList_GetImageInfo(hImages, t.image, &info))
            rect.left += info.rcImage.right - info.rcImage.left + 3;
    }
    CFont* pOldFont = pDC->SelectObject(&m_fontTab);
    COLORREF oldColor = pDC->SetTextColor(clrText);
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->DrawText(t.text, -1, &rect, DT_CENTER);
    pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldColor);
    pDC->SelectObject(pOldFont);
    rect.top -= 3;
    if (bSelected && !(pTabCtrl->GetStyle() & TCS_FOCUSNEVER)) {
        CRect focus = lpDIS->rcItem;
        focus.DeflateRect(2, 2);
        pDC->DrawFocusRect(&focus);
    }
}

void COXTabSkinXP::DrawTabItemEdges(LPDRAWITEMSTRUCT lpDIS, CTabCtrl* pTabCtrl)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const CRect& r = lpDIS->rcItem;
    const BOOL bBottom = (pTabCtrl->GetStyle() & TCS_BOTTOM) != 0;
    HGDIOBJ hOldPen = ::SelectObject(pDC->m_hDC, ::GetStockObject(WHITE_PEN));
    auto usePen = [&](HGDIOBJ h) { ::SelectObject(pDC->m_hDC, h); };
    if (lpDIS->itemState == 1) {
        if (!bBottom) {
            pDC->MoveTo(r.left, r.bottom - 1);
            pDC->LineTo(r.left, r.top);
            pDC->LineTo(r.right, r.top);
            usePen(::GetStockObject(BLACK_PEN));
            Line(pDC, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1);
        } else {
            Line(pDC, r.left, r.top, r.left, r.bottom - 1);
            usePen(::GetStockObject(BLACK_PEN));
            pDC->LineTo(r.right, r.bottom - 1);
            Line(pDC, r.right - 1, r.top, r.right - 1, r.bottom - 1);
        }
        usePen(hOldPen);
        return;
    }

    TCITEM next{};
    next.mask = TCIF_STATE;
    next.dwStateMask = TCIS_BUTTONPRESSED;
    const int nNext = static_cast<int>(lpDIS->itemID) + 1;
    BOOL bNextPressed = nNext < pTabCtrl->GetItemCount() && pTabCtrl->GetItem(nNext, &next) &&
                        (next.dwState & TCIS_BUTTONPRESSED);
    if (!bNextPressed)
        DrawTabSeparator(pDC, r.right - 1, r.top + 3, r.bottom - 3);

    CRect rectDisplay;
    pTabCtrl->GetClientRect(&rectDisplay);
    pTabCtrl->AdjustRect(FALSE, &rectDisplay);
    if (!bBottom) {
        if (rectDisplay.top > r.top + r.Height() + 3) {
            usePen(m_penShadow.m_hObject);
            Line(pDC, r.left, r.bottom - 1, r.right, r.bottom - 1);
        } else if (rectDisplay.top <= r.top) {
            usePen(m_penShadow.m_hObject);
            Line(pDC, r.left, r.top, r.right, r.top);
        } else {
            usePen(::GetStockObject(WHITE_PEN));
            Line(pDC, r.left, r.bottom - 1, r.right, r.bottom - 1);
        }
    } else {
        if (r.top > rectDisplay.bottom + 3) {
            usePen(m_penShadow.m_hObject);
            Line(pDC, r.left, r.top, r.right, r.top);
        } else if (r.top < rectDisplay.bottom) {
            usePen(m_penShadow.m_hObject);
            Line(pDC, r.left, r.bottom - 1, r.right, r.bottom - 1);
        } else {
            usePen(::GetStockObject(BLACK_PEN));
            Line(pDC, r.left, r.top, r.right, r.top);
        }
    }
    usePen(hOldPen);
}

void COXTabSkinXP::DrawPageBorder(CDC* pDC, const CRect& rect)
{
    const COLORREF clr = m_pSkin->GetBorderColor();
    pDC->Draw3dRect(&rect, clr, clr);
}

void COXTabSkinXP::OnNcPaintTabCtrl(CTabCtrl* pTabCtrl)
{
    pTabCtrl->Default();
    CWindowDC dc(pTabCtrl);
    CRect rectWindow, rectClient;
    pTabCtrl->GetWindowRect(&rectWindow);
    pTabCtrl->GetClientRect(&rectClient);
    CPoint origin(0, 0);
    pTabCtrl->ClientToScreen(&origin);
    rectClient.OffsetRect(origin.x - rectWindow.left, origin.y - rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    dc.ExcludeClipRect(&rectClient);
    dc.Draw3dRect(&rectWindow, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
    rectWindow.DeflateRect(1, 1);
    dc.Draw3dRect(&rectWindow, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DDKSHADOW));
}

void COXTabSkinXP::AdjustPageRect(CRect& rectPage, int nDelta, CTabCtrl* pTabCtrl)
{
    CRect rectClient;
    pTabCtrl->GetClientRect(&rectClient);
    if (rectClient.IsRectEmpty())
        return;
    CRect rectDisplay = rectClient;
    pTabCtrl->AdjustRect(FALSE, &rectDisplay);
    if (rectDisplay.left - rectClient.left < 8)
        rectPage.left -= nDelta;
    if (rectDisplay.top - rectClient.top < 8)
        rectPage.top -= nDelta;
    if (rectClient.right - rectDisplay.right < 8)
        rectPage.right += nDelta;
    if (rectClient.bottom - rectDisplay.bottom < 8)
        rectPage.bottom += nDelta;
}

void COXTabSkinXP::OnPaintSpin(CSpinButtonCtrl* pSpin)
{
    CPaintDC paintDC(pSpin);
    CRect rectClient;
    pSpin->GetClientRect(&rectClient);
    COXOffScreenDC buffer(&paintDC, rectClient.Width(), rectClient.Height());
    CDC& dc = buffer.dc;

    CWnd* pParent = pSpin->GetParent();
    const BOOL bBottom = pParent != nullptr && (pParent->GetStyle() & TCS_BOTTOM) != 0;
    FillSpinBackground(&dc, rectClient, bBottom);

    CRect area = rectClient;
    if (bBottom)
        area.bottom -= 2;
    else
        area.top += 2;
    area.DeflateRect(2, 0);
    const int w = area.Width() / 2;
    const CRect halves[2] = {CRect(area.left, area.top, area.left + w, area.bottom),
                             CRect(area.left + w, area.top, area.left + 2 * w, area.bottom)};

    const int pos = LOWORD(pSpin->SendMessage(UDM_GETPOS));
    int lower = 0, upper = 0;
    pSpin->GetRange32(lower, upper);
    const BOOL canAct[2] = {pos != 0, pos != upper};

    CPen* pOldPen = dc.SelectObject(&m_penArrow);
    for (int i = 0; i < 2; ++i) {
        const CPoint c = halves[i].CenterPoint();
        const int dir = i == 0 ? -1 : 1; // the tip's side
        const POINT points[4] = {{c.x + 2 * dir, c.y},
                                 {c.x - 2 * dir, c.y - 4},
                                 {c.x - 2 * dir, c.y + 4},
                                 {c.x + 2 * dir, c.y}};
        CBrush* pOldBrush = canAct[i] ? dc.SelectObject(&m_brushArrow) : nullptr;
        dc.Polygon(points, 4);
        if (pOldBrush != nullptr)
            dc.SelectObject(pOldBrush);
    }
    dc.SelectObject(pOldPen);

    CPoint cursor;
    ::GetCursorPos(&cursor);
    pSpin->ScreenToClient(&cursor);
    for (int i = 0; i < 2; ++i) {
        if (!canAct[i] || !halves[i].PtInRect(cursor))
            continue;
        CRect frame = halves[i];
        frame.DeflateRect(1, 1);
        const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
        if (::GetKeyState(VK_LBUTTON) < 0)
            dc.Draw3dRect(&frame, black, white);
        else
            dc.Draw3dRect(&frame, white, black);
    }
    paintDC.BitBlt(0, 0, rectClient.Width(), rectClient.Height(), &dc, 0, 0, SRCCOPY);
}

// --- 2003 ---

COXTabSkin2003::COXTabSkin2003(COXSkin2003* pSkin) : COXTabSkinXP(pSkin) {}

COXSkin2003* COXTabSkin2003::Skin2003() const
{
    return static_cast<COXSkin2003*>(m_pSkin);
}

void COXTabSkin2003::FillTabBackground(CDC* pDC, const CRect& rect, CTabCtrl*)
{
    pDC->FillSolidRect(&rect, Skin2003()->GetDockBarBackgroundColor());
}

void COXTabSkin2003::FillTabBand(CDC* pDC, const CRect& rect, BOOL bBottom)
{
    COXSkin2003* pSkin = Skin2003();
    const COLORREF light = pSkin->GetTabGradientLightColor();
    const COLORREF dark = pSkin->GetTabGradientDarkColor();
    pSkin->DrawGradient(pDC, rect, bBottom ? light : dark, bBottom ? dark : light, TRUE);
}

void COXTabSkin2003::FillSpinBackground(CDC* pDC, const CRect& rect, BOOL bBottom)
{
    FillTabBand(pDC, rect, bBottom);
}

void COXTabSkin2003::DrawTabSeparator(CDC* pDC, int x, int top, int bottom)
{
    pDC->FillSolidRect(x, top, 1, bottom - top, Skin2003()->GetBorderColor());
}

void COXTabSkin2003::FillTabItemBackground(CDC* pDC, const CRect& rect, BOOL bSelected,
                                           BOOL bBottom)
{
    COXSkin2003* pSkin = Skin2003();
    // From the tab's outer edge to the page side.
    const COLORREF outer = bSelected ? pSkin->GetCaptionGradientStartColor()
                                     : pSkin->GetTabGradientDarkColor();
    const COLORREF inner = bSelected ? pSkin->GetDockBarBackgroundColor()
                                     : pSkin->GetTabGradientLightColor();
    pSkin->DrawGradient(pDC, rect, bBottom ? inner : outer, bBottom ? outer : inner, TRUE);
}
