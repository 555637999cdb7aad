// Status-bar element skins.
#include "toolkit/frames/skins/statusbar_skin.h"

#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/statusbar/ox_status_bar.h"

void COXStatusbarSkin::DrawAttachedItems(CDC* pDC, COXStatusBar* pStatusBar)
{
    for (int i = 0; i < pStatusBar->GetCount(); ++i) {
        UINT nStyle = pStatusBar->GetPaneStyle(i);
        if ((nStyle & SBPS_DISABLED) == 0 && pStatusBar->GetPaneBitmap(i) != nullptr)
            pStatusBar->DrawPaneBitmap(pDC, i, nStyle);
    }
}

CRect COXStatusbarSkin::PaneRect(COXStatusBar* pStatusBar, int nIndex)
{
    CRect rect;
    pStatusBar->GetItemRect(nIndex, &rect);
    if (nIndex == pStatusBar->GetCount() - 1)
        rect.right = rect.left + pStatusBar->GetPaneInfo(nIndex)->cxText + 6;
    return rect;
}

// --- Classic ---

void COXStatusbarSkinClassic::OnPaintStatusBar(COXStatusBar* pStatusBar)
{
    pStatusBar->PaintDefault();
    CClientDC dc(pStatusBar);
    pStatusBar->RecalcPaneLayout(FALSE, TRUE);
    DrawPanes(&dc, pStatusBar);
    DrawPaneBorders(&dc, pStatusBar);
    DrawAttachedItems(&dc, pStatusBar);
}

// --- XP ---

void COXStatusbarSkinXP::OnPaintStatusBar(COXStatusBar* pStatusBar)
{
    CPaintDC dc(pStatusBar);
    pStatusBar->RecalcPaneLayout(FALSE, TRUE);
    DrawPanes(&dc, pStatusBar);
    DrawPaneBorders(&dc, pStatusBar);
    DrawSizeGrip(&dc, pStatusBar);
    DrawAttachedItems(&dc, pStatusBar);
}

void COXStatusbarSkinXP::FillBackground(CDC* pDC, const CRect& rect)
{
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
}

void COXStatusbarSkinXP::DrawPanes(CDC* pDC, COXStatusBar* pStatusBar)
{
    CRect client;
    pStatusBar->GetClientRect(&client);
    FillBackground(pDC, client);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    for (int i = 0; i < pStatusBar->GetCount(); ++i) {
        CRect rect = PaneRect(pStatusBar, i);
        UINT nID = pStatusBar->GetItemID(i);
        int vk = nID == 0xE701 ? VK_CAPITAL : nID == 0xE702 ? VK_NUMLOCK
                                            : nID == 0xE703 ? VK_SCROLL : 0;
        if (vk == 0) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_STATIC;
            dis.itemID = static_cast<UINT>(i);
            dis.hwndItem = pStatusBar->m_hWnd;
            dis.hDC = pDC->GetSafeHdc();
            dis.rcItem = rect;
            pStatusBar->DrawItem(&dis);
            continue;
        }
        HGDIOBJ hOld = ::SelectObject(pDC->GetSafeHdc(),
                                      reinterpret_cast<HFONT>(pStatusBar->SendMessage(WM_GETFONT)));
        pDC->SetTextColor((keys[vk] & 1) ? ::GetSysColor(COLOR_BTNTEXT)
                                         : m_pSkin->GetDisabledTextColor());
        int oldMode = pDC->SetBkMode(TRANSPARENT);
        pDC->DrawText(pStatusBar->GetPaneText(i), &rect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
        pDC->SetBkMode(oldMode);
        ::SelectObject(pDC->GetSafeHdc(), hOld);
    }
}

void COXStatusbarSkinXP::DrawPaneBorders(CDC* pDC, COXStatusBar* pStatusBar)
{
    CBrush brush(m_pSkin->GetStatusPaneColor());
    for (int i = 0; i < pStatusBar->GetCount(); ++i) {
        CRect rect = PaneRect(pStatusBar, i);
        pDC->FrameRect(&rect, &brush);
    }
}

bool COXStatusbarSkinXP::HasGrip(COXStatusBar* pStatusBar)
{
    CWnd* pFrame = pStatusBar->GetParentFrame();
    if (pFrame == nullptr)
        return true;
    DWORD style = pFrame->GetStyle();
    return (style & WS_THICKFRAME) != 0 && (style & WS_MAXIMIZE) == 0;
}

void COXStatusbarSkinXP::DrawSizeGrip(CDC* pDC, COXStatusBar* pStatusBar)
{
    if (!HasGrip(pStatusBar))
        return;
    CRect client;
    pStatusBar->GetClientRect(&client);
    int side = client.Height() - (client.Height() % 2 != 0 ? 1 : 0);
    CRect grip(client.right - side, client.bottom - side, client.right, client.bottom);
    pDC->FillSolidRect(&grip, ::GetSysColor(COLOR_BTNFACE));
    CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    HDC hdc = pDC->GetSafeHdc();
    HGDIOBJ hOld = ::SelectObject(hdc, shadow);
    const int r = client.right, b = client.bottom;
    for (int offset = 0; offset < side; offset += 4) {
        ::SelectObject(hdc, shadow);
        pDC->MoveTo(r - offset, b);
        pDC->LineTo(r, b - offset);
        ::SelectObject(hdc, ::GetStockObject(WHITE_PEN));
        pDC->MoveTo(r - offset - 1, b);
        pDC->LineTo(r, b - offset - 1);
    }
    ::SelectObject(hdc, hOld);
}

// --- 2003 ---

COXStatusbarSkin2003::COXStatusbarSkin2003(COXSkin2003* pSkin) : COXStatusbarSkinXP(pSkin) {}

COXSkin2003* COXStatusbarSkin2003::Skin2003() const
{
    return static_cast<COXSkin2003*>(m_pSkin);
}

void COXStatusbarSkin2003::FillBackground(CDC* pDC, const CRect& rect)
{
    COXSkin2003* s = Skin2003();
    const COLORREF middle = s->GetStatusGradientMiddleColor();
    CRect top(rect.left, rect.top, rect.right, std::min(rect.top + 3, rect.bottom));
    CRect bottom(rect.left, std::max(rect.bottom - 5, top.bottom), rect.right, rect.bottom);
    CRect between(rect.left, top.bottom, rect.right, bottom.top);
    s->DrawGradient(pDC, top, s->GetStatusGradientTopColor(), middle, TRUE);
    if (!between.IsRectEmpty())
        pDC->FillSolidRect(&between, middle);
    s->DrawGradient(pDC, bottom, middle, s->GetStatusGradientBottomColor(), TRUE);
}

void COXStatusbarSkin2003::DrawPaneBorders(CDC* pDC, COXStatusBar* pStatusBar)
{
    const COLORREF separator = m_pSkin->GetSeparatorColor();
    for (int i = 0; i < pStatusBar->GetCount(); ++i) {
        CRect rect = PaneRect(pStatusBar, i);
        int h = rect.Height() - 4;
        if (h <= 0)
            continue;
        pDC->FillSolidRect(rect.right, rect.top + 2, 1, h, separator);
        pDC->FillSolidRect(rect.right + 1, rect.top + 3, 1, h, RGB(255, 255, 255));
    }
}

void COXStatusbarSkin2003::DrawSizeGrip(CDC* pDC, COXStatusBar* pStatusBar)
{
    if (!HasGrip(pStatusBar))
        return;
    CRect client;
    pStatusBar->GetClientRect(&client);
    const int height = client.Height();
    const int left = client.right - height + (height % 2 == 0 ? 1 : 0);
    FillBackground(pDC, CRect(left + 3, client.top, client.right, client.bottom));
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF gripper = m_pSkin->GetGripperColor();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            if (i + j < 2)
                continue;
            int x = left + 7 + 4 * i, y = client.top + 7 + 4 * j;
            pDC->FillSolidRect(x, y, 2, 2, window);
            pDC->FillSolidRect(x - 1, y - 1, 2, 2, gripper);
        }
}
