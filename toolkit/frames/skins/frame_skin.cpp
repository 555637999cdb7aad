// Frame and mini-frame skins.
#include "toolkit/frames/skins/frame_skin.h"

#include "toolkit/frames/skins/skin.h"

// --- Classic ---

void COXMiniFrameSkinClassic::OnNcPaintMiniFrame(CMiniDockFrameWnd* pFrame)
{
    pFrame->DefWindowProc(WM_NCPAINT, 1, 0);
}

BOOL COXMiniFrameSkinClassic::OnNcActivateMiniFrame(BOOL bActive, CMiniDockFrameWnd* pFrame)
{
    // A bar floated as an MDI child: its caption follows that child's activation.
    if (pFrame->m_wndDockBar.m_arrBars.GetSize() >= 2) {
        CControlBar* pBar = pFrame->m_wndDockBar.GetDockedControlBar(1);
        bool bViewBar = false;
        if (pBar != nullptr)
            for (const CRuntimeClass* p = pBar->GetRuntimeClass(); p != nullptr; p = p->m_pBaseClass)
                bViewBar |= lstrcmp(p->m_lpszClassName, "COXSizeViewBar") == 0;
        if (bViewBar) {
            HWND hChild = ::GetWindow(pBar->m_hWnd, GW_CHILD);
            if (hChild != nullptr && ::IsWindow(hChild)) {
                HWND hClient = ::GetParent(hChild);
                HWND hActive = hClient != nullptr
                                   ? reinterpret_cast<HWND>(::SendMessage(hClient, WM_MDIGETACTIVE, 0, 0))
                                   : nullptr;
                if (bActive && hActive != hChild)
                    return FALSE;
                return static_cast<BOOL>(pFrame->DefWindowProc(WM_NCACTIVATE, bActive, 0));
            }
        }
    }
    return pFrame->OnNcActivate(bActive);
}

// --- XP ---

COXMiniFrameSkinXP::COXMiniFrameSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin)
{
    m_fontCaption.CreatePointFont(85, "Tahoma BOLD");
}

COXMiniFrameSkinXP::~COXMiniFrameSkinXP()
{
    m_fontCaption.DeleteObject();
}

CRect COXMiniFrameSkinXP::GetCaptionRect(CWnd* pFrame)
{
    CRect rectWindow, rectClient;
    pFrame->GetWindowRect(&rectWindow);
    pFrame->GetClientRect(&rectClient);
    pFrame->ClientToScreen(&rectClient);
    const int nClientTop = rectClient.top - rectWindow.top;
    CRect rect(0, 0, rectWindow.Width(), rectWindow.Height());
    rect.DeflateRect(2, 2);
    rect.left += 1;
    rect.top += 1;
    rect.right -= 1;
    rect.bottom = nClientTop - 2; // 2 pixels above the client area
    return rect;
}

CRect COXMiniFrameSkinXP::GetCloseButtonRect(CWnd* pFrame)
{
    const CRect caption = GetCaptionRect(pFrame);
    return CRect(caption.right - caption.Height(), caption.top, caption.right, caption.bottom);
}

void COXMiniFrameSkinXP::OnNcPaintMiniFrame(CMiniDockFrameWnd* pFrame)
{
    CWindowDC dc(pFrame);
    CRect rectWindow, rectClient;
    pFrame->GetWindowRect(&rectWindow);
    pFrame->GetClientRect(&rectClient);
    pFrame->ClientToScreen(&rectClient);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    dc.ExcludeClipRect(&rectClient);
    dc.FillSolidRect(&rectWindow, m_pSkin->GetMiniFrameBorderColor());
    rectWindow.DeflateRect(2, 2);
    dc.FillSolidRect(&rectWindow, m_pSkin->GetMiniFrameBackgroundColor());
    DrawMiniFrameCaption(pFrame);
}

void COXMiniFrameSkinXP::DrawMiniFrameCaption(CMiniDockFrameWnd* pFrame)
{
    CWindowDC dc(pFrame);
    CRect rect = GetCaptionRect(pFrame);
    dc.FillSolidRect(&rect, m_pSkin->GetMiniFrameCaptionColor());
    char text[261] = "";
    ::GetWindowText(pFrame->m_hWnd, text, sizeof(text));
    CFont* pOldFont = dc.SelectObject(&m_fontCaption);
    const COLORREF clrOld = dc.SetTextColor(m_pSkin->GetMiniFrameCaptionTextColor());
    const int nOldMode = dc.SetBkMode(TRANSPARENT);
    CRect rectText = rect;
    rectText.DeflateRect(3, 0);
    dc.DrawText(text, -1, &rectText, DT_SINGLELINE | DT_VCENTER);
    dc.SetBkMode(nOldMode);
    dc.SetTextColor(clrOld);
    dc.SelectObject(pOldFont);
    DrawMiniFrameCloseButton(pFrame);
}

BOOL COXMiniFrameSkinXP::DrawMiniFrameCloseButton(CMiniDockFrameWnd* pFrame)
{
    HMENU hSysMenu = ::GetSystemMenu(pFrame->m_hWnd, FALSE);
    if (hSysMenu == nullptr || ::GetMenuItemCount(hSysMenu) <= 0)
        return TRUE;
    const CRect rectCaption = GetCaptionRect(pFrame);
    const CRect button = GetCloseButtonRect(pFrame);
    CPoint pt;
    ::GetCursorPos(&pt);
    pFrame->ScreenToClient(&pt);
    pt.x += 4;
    pt.y += rectCaption.Height() + 4;
    CRect rectHot = button;
    rectHot.right -= 1;
    rectHot.bottom -= 1;
    const bool bHot = rectHot.PtInRect(pt) != FALSE;
    const bool bPressed = bHot && ::GetKeyState(VK_LBUTTON) < 0;
    COLORREF clrGlyph;
    bool bBrush = false;
    COLORREF clrBrush = 0;
    if (bPressed) {
        bBrush = true;
        clrBrush = m_pSkin->GetPressedItemColor();
        clrGlyph = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (bHot) {
        bBrush = true;
        clrBrush = m_pSkin->GetHotItemColor();
        clrGlyph = ::GetSysColor(COLOR_BTNTEXT);
    } else {
        clrGlyph = m_pSkin->GetMiniFrameCaptionTextColor();
    }

    CWindowDC dc(pFrame);
    COXOffScreenDC off(&dc, button.Width(), button.Height());
    CDC& mem = off.dc;
    const CRect local(0, 0, button.Width(), button.Height());
    if (bBrush) {
        CBrush brush(clrBrush);
        CPen pen(PS_SOLID, 1, m_pSkin->GetHighlightBorderColor());
        CBrush* pOldBrush = mem.SelectObject(&brush);
        CPen* pOldPen = mem.SelectObject(&pen);
        mem.Rectangle(&local);
        mem.SelectObject(pOldPen);
        mem.SelectObject(pOldBrush);
    } else {
        mem.FillSolidRect(&local, m_pSkin->GetMiniFrameCaptionColor());
    }
    CPen glyph(PS_SOLID, 1, clrGlyph);
    CPen* pOldPen = mem.SelectObject(&glyph);
    const CRect in(local.left + 4, local.top + 4, local.right - 5, local.bottom - 5);
    for (int dx = 0; dx < 2; ++dx) {
        mem.MoveTo(in.left + dx, in.top);
        mem.LineTo(in.right + 1 + dx, in.bottom + 1);
        mem.MoveTo(in.right + dx, in.top);
        mem.LineTo(in.left - 1 + dx, in.bottom + 1);
    }
    mem.SelectObject(pOldPen);
    dc.BitBlt(button.left, button.top, button.Width(), button.Height(), &mem, 0, 0, SRCCOPY);
    return TRUE;
}

// --- frame skins ---

void COXFrameSkinXP::DrawFrameBorder(CWnd* pFrame)
{
    CWindowDC dc(pFrame);
    CRect rect;
    pFrame->GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CBrush brush(m_pSkin->GetBorderColor());
    dc.FrameRect(&rect, &brush);
}

COXFrameSkin2003::COXFrameSkin2003(COXSkin2003* pSkin) : COXFrameSkinXP(pSkin) {}

COLORREF COXFrameSkin2003::GetFrameBackgroundColor()
{
    return m_pSkin->GetDockBarBackgroundColor();
}

COLORREF COXFrameSkin2003::GetFrameBorderColor()
{
    return m_pSkin->GetBorderColor();
}
