// The Classic, XP and 2003 dock-bar skins.
#include "toolkit/frames/skins/dockbar_skin.h"

#include <algorithm>

#include "toolkit/frames/skins/skin.h"

namespace {

// Toolkit style bits of a sizable bar.
constexpr DWORD kNoCaption = 0x20;
constexpr DWORD kNoClose = 0x40;
constexpr DWORD kNoExpand = 0x80;
constexpr DWORD kNoCaptionText = 0x100;
constexpr DWORD kSolidCaption = 0x200;
// Control-bar style bits: floating, and docked on the top or bottom side.
constexpr DWORD kBarFloating = CBRS_FLOATING;
constexpr DWORD kBarAlignHorz = 0xA000;

constexpr int kButtonSize = 11;

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

// The bar's window rectangle in its own client coordinates.
CRect WindowRectInClient(CWnd* pWnd)
{
    CRect rect;
    pWnd->GetWindowRect(&rect);
    pWnd->ScreenToClient(&rect);
    return rect;
}

CString WindowText(CWnd* pWnd)
{
    CString text;
    pWnd->GetWindowText(text);
    return text;
}

// Draws a caption title along a strip: at the top, from nLead px after the strip's left; at
// the left, rotated to read upward from nLead px above its bottom. The text is centred
// across the strip (the odd pixel to the far side) and cut to the strip with an ellipsis.
// Returns the far end of the text along the strip: its right edge, or its top edge.
int DrawStripTitle(CDC* pDC, const CString& text, const CRect& strip, BOOL bLeftStrip, int nLead,
                   CFont* pFont, COLORREF clrText, BOOL bTransparent)
{
    CFont* pOldFont = pDC->SelectObject(pFont);
    CRect calc(0, 0, 0, 0);
    pDC->DrawText(text, &calc, DT_CALCRECT | DT_SINGLELINE);
    const int length = bLeftStrip ? strip.Height() : strip.Width();
    const int textLength = std::clamp<int>(calc.Width(), 0, std::max(length - nLead, 0));
    const int thickness = calc.Height();
    const int free = (bLeftStrip ? strip.Width() : strip.Height()) - thickness;
    const int offset = free / 2 + free % 2;

    CFont rotated;
    if (bLeftStrip) {
        LOGFONT lf{};
        pFont->GetLogFont(&lf);
        lf.lfEscapement = lf.lfOrientation = 900;
        rotated.CreateFontIndirect(&lf);
        pDC->SelectObject(&rotated);
    }
    COLORREF oldColor = pDC->SetTextColor(clrText);
    int oldMode = bTransparent ? pDC->SetBkMode(TRANSPARENT) : 0;
    int end = 0;
    if (!bLeftStrip) {
        CRect rect(strip.left + nLead, strip.top + offset, strip.left + nLead + textLength,
                   strip.top + offset + thickness);
        pDC->DrawText(text, &rect, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS);
        end = rect.right;
    } else {
        // DrawText places the rotated text's reference point at (left, bottom - height): the
        // baseline then starts at base and runs upward. The rectangle only bounds the length.
        const int base = strip.bottom - nLead;
        CRect rect(strip.left + offset, base, strip.left + offset + textLength, base + thickness);
        pDC->DrawText(text, &rect, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS | DT_NOCLIP);
        end = base - textLength;
    }
    if (bTransparent)
        pDC->SetBkMode(oldMode);
    pDC->SetTextColor(oldColor);
    pDC->SelectObject(pOldFont);
    return end;
}

// A caption button drawn by the system into an off-screen bitmap and copied in one step.
void DrawSystemCaptionButton(CDC* pDC, const CRect& rect, UINT nState)
{
    COXOffScreenDC off(pDC, rect.Width(), rect.Height());
    RECT r{0, 0, rect.Width(), rect.Height()};
    ::DrawFrameControl(off.dc, &r, DFC_CAPTION, nState);
    pDC->BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &off.dc, 0, 0, SRCCOPY);
}

// Whether a sizable bar is docked in the dock bar (its bars are its child windows).
BOOL HoldsSizableBar(CWnd* pDockBar)
{
    for (HWND h = ::GetWindow(pDockBar->m_hWnd, GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT))
        if (dynamic_cast<COXSkinnedBar*>(CWnd::FromHandlePermanent(h)) != nullptr)
            return TRUE;
    return FALSE;
}

CWnd* ParentFrameOf(CWnd* pWnd)
{
    CWnd* p = pWnd->GetParent();
    while (p != nullptr && !p->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
        p = p->GetParent();
    return p;
}

// Fills a window's non-client area (the client area excluded) with one colour.
void FillNonClient(CWnd* pWnd, COLORREF clr)
{
    CWindowDC dc(pWnd);
    CRect rectWindow, rectClient;
    pWnd->GetWindowRect(&rectWindow);
    pWnd->GetClientRect(&rectClient);
    CPoint origin = COXDockbarSkin::ClientOrigin(pWnd);
    rectClient.OffsetRect(origin);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    ::ExcludeClipRect(dc, rectClient.left, rectClient.top, rectClient.right, rectClient.bottom);
    dc.FillSolidRect(&rectWindow, clr);
}

} // namespace

// --- shared ---

BOOL COXDockbarSkin::IsFloating(COXSkinnedBar* pBar)
{
    return (pBar->GetBarStyle() & kBarFloating) != 0;
}

BOOL COXDockbarSkin::IsDockedHorizontally(COXSkinnedBar* pBar)
{
    return (pBar->GetBarStyle() & kBarAlignHorz) != 0;
}

CPoint COXDockbarSkin::ClientOrigin(CWnd* pWnd)
{
    CRect rectWindow;
    pWnd->GetWindowRect(&rectWindow);
    CPoint origin(0, 0);
    pWnd->ClientToScreen(&origin);
    return CPoint(origin.x - rectWindow.left, origin.y - rectWindow.top);
}

void COXDockbarSkin::ReserveCaption(CRect& rect, COXSkinnedBar* pBar, int nThickness)
{
    rect.DeflateRect(5, 5);
    if ((pBar->GetSizeBarStyle() & kNoCaption) || IsFloating(pBar))
        return;
    if (IsDockedHorizontally(pBar))
        rect.left = std::min<int>(rect.left + nThickness, rect.right);
    else
        rect.top = std::min<int>(rect.top + nThickness, rect.bottom);
    pBar->SetCaptionPending(TRUE);
}

// Classic and XP lay the caption out alike: an 11-px strip inside the 5-px border with the
// buttons at its start (strip at the left) or its end (strip at the top).
static void LayoutFlatCaption(COXSkinnedBar* pBar, int nGap)
{
    CRect strip = WindowRectInClient(pBar->GetBarWindow());
    strip.DeflateRect(5, 5);
    CRect& rectClose = pBar->GetCloseRect();
    CRect& rectExpand = pBar->GetExpandRect();
    rectClose.SetRectEmpty();
    rectExpand.SetRectEmpty();
    const DWORD style = pBar->GetSizeBarStyle();
    if (!(style & kNoCaption) && !COXDockbarSkin::IsFloating(pBar)) {
        const int step = kButtonSize + nGap;
        if (COXDockbarSkin::IsDockedHorizontally(pBar)) {
            strip.right = strip.left + kButtonSize;
            if (!(style & kNoClose)) {
                rectClose.SetRect(strip.left, strip.top, strip.left + kButtonSize,
                                  strip.top + kButtonSize);
                strip.top += step;
            }
            if (!(style & kNoExpand)) {
                rectExpand.SetRect(strip.left, strip.top, strip.left + kButtonSize,
                                   strip.top + kButtonSize);
                strip.top += step;
            }
        } else {
            strip.bottom = strip.top + kButtonSize;
            if (!(style & kNoClose)) {
                rectClose.SetRect(strip.right - kButtonSize, strip.top, strip.right,
                                  strip.top + kButtonSize);
                strip.right -= step;
            }
            if (!(style & kNoExpand)) {
                rectExpand.SetRect(strip.right - kButtonSize, strip.top, strip.right,
                                   strip.top + kButtonSize);
                strip.right -= step;
            }
        }
    }
    pBar->GetCaptionRect() = strip;
    pBar->SetCaptionPending(FALSE);
}

// --- Classic ---

COXDockbarSkinClassic::COXDockbarSkinClassic()
{
    m_fontCaption.CreatePointFont(100, "Arial");
    m_fontSolidCaption.CreatePointFont(80, "Arial");
}

void COXDockbarSkinClassic::CalcBarClientRect(BOOL, CRect& rect, COXSkinnedBar* pBar)
{
    ReserveCaption(rect, pBar, 16);
}

void COXDockbarSkinClassic::LayoutCaption(COXSkinnedBar* pBar)
{
    LayoutFlatCaption(pBar, m_nButtonGap);
}

void COXDockbarSkinClassic::DrawGripper(CDC* pDC, COXSkinnedBar* pBar)
{
    const DWORD style = pBar->GetSizeBarStyle();
    if ((style & kNoCaption) || IsFloating(pBar))
        return;
    CWnd* pWnd = pBar->GetBarWindow();
    CRect strip = pBar->GetCaptionRect();
    strip.OffsetRect(ClientOrigin(pWnd));
    const BOOL bSolid = (style & kSolidCaption) != 0;
    const BOOL bActive = pBar->IsBarActive();
    const BOOL bLeft = IsDockedHorizontally(pBar);
    if (bSolid)
        pDC->FillSolidRect(&strip, Sys(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    else
        strip.DeflateRect(2, 2);

    const CString text = WindowText(pWnd);
    const BOOL bTitle = !(style & kNoCaptionText) && !text.IsEmpty();
    int textEnd = 0;
    if (bTitle) {
        COLORREF clr = bSolid ? Sys(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)
                              : Sys(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
        textEnd = DrawStripTitle(pDC, text, strip, bLeft, 6,
                                 bSolid ? &m_fontSolidCaption : &m_fontCaption, clr, bSolid);
    }
    if (bSolid)
        return;
    const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), lo = Sys(COLOR_BTNSHADOW);
    if (!bLeft) {
        const int start = bTitle ? textEnd + 3 : strip.left;
        if (strip.right - start >= 6)
            for (int i = 0; i < 2; ++i)
                pDC->Draw3dRect(start, strip.top + 4 * i, strip.right - start, 3, hi, lo);
    } else {
        const int end = bTitle ? textEnd - 3 : strip.bottom;
        if (end - strip.top >= 6)
            for (int i = 0; i < 2; ++i)
                pDC->Draw3dRect(strip.left + 4 * i, strip.top, 3, end - strip.top, hi, lo);
    }
}

void COXDockbarSkinClassic::DrawButton(CDC* pDC, COXSkinnedBar* pBar, const CRect& rectClient,
                                       UINT nState)
{
    CRect rect = rectClient;
    rect.OffsetRect(ClientOrigin(pBar->GetBarWindow()));
    DrawSystemCaptionButton(pDC, rect, nState);
}

void COXDockbarSkinClassic::DrawCloseButton(CDC* pDC, COXSkinnedBar* pBar)
{
    if ((pBar->GetSizeBarStyle() & kNoClose) || IsFloating(pBar))
        return;
    UINT state = DFCS_CAPTIONCLOSE;
    if (pBar->GetPressedButton() == -3)
        state |= DFCS_PUSHED;
    DrawButton(pDC, pBar, pBar->GetCloseRect(), state);
}

void COXDockbarSkinClassic::DrawExpandButton(CDC* pDC, COXSkinnedBar* pBar)
{
    if ((pBar->GetSizeBarStyle() & kNoExpand) || IsFloating(pBar))
        return;
    UINT state = pBar->IsBarExpanded() ? DFCS_CAPTIONMIN : DFCS_CAPTIONMAX;
    if (!pBar->CanExpand())
        state |= DFCS_INACTIVE;
    if (pBar->GetPressedButton() == -2)
        state |= DFCS_PUSHED;
    DrawButton(pDC, pBar, pBar->GetExpandRect(), state);
}

void COXDockbarSkinClassic::DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar* pBar)
{
    CRect inner = rect;
    pBar->DrawBarBorders(pDC, inner);
    pDC->FillSolidRect(&inner, Sys(COLOR_BTNFACE));
}

void COXDockbarSkinClassic::DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd*)
{
    const CRect& r = pSplitter->m_rect;
    const COLORREF colours[4] = {Sys(COLOR_BTNFACE), Sys(COLOR_BTNHIGHLIGHT),
                                 Sys(COLOR_WINDOWFRAME), Sys(COLOR_BTNSHADOW)};
    if (pSplitter->m_nType == 1) {
        const int columns[4] = {r.left + 1, r.left + 2, r.right - 1, r.right - 2};
        for (int i = 0; i < 4; ++i)
            pDC->FillSolidRect(columns[i], r.top, 1, r.Height(), colours[i]);
    } else if (pSplitter->m_nType == 2) {
        const int rows[4] = {r.top + 1, r.top + 2, r.bottom - 1, r.bottom - 2};
        for (int i = 0; i < 4; ++i)
            pDC->FillSolidRect(r.left, rows[i], r.Width(), 1, colours[i]);
    }
}

void COXDockbarSkinClassic::DrawDockBarNonClient(CWnd* pDockBar)
{
    const MSG* pMsg = CWnd::GetCurrentMessage();
    if (pMsg != nullptr && pMsg->message == WM_NCPAINT && pMsg->hwnd == pDockBar->m_hWnd)
        pDockBar->Default();
}

void COXDockbarSkinClassic::EraseDockBarBackground(CDC* pDC, CWnd* pDockBar)
{
    CRect rect;
    pDockBar->GetClientRect(&rect);
    pDC->FillSolidRect(&rect, Sys(COLOR_BTNFACE));
}

// --- XP ---

COXDockbarSkinXP::COXDockbarSkinXP(COXSkinXP* pSkin) : m_pSkin(pSkin)
{
    m_fontCaption.CreatePointFont(85, "Tahoma BOLD");
}

void COXDockbarSkinXP::CalcBarClientRect(BOOL, CRect& rect, COXSkinnedBar* pBar)
{
    ReserveCaption(rect, pBar, 16);
}

void COXDockbarSkinXP::LayoutCaption(COXSkinnedBar* pBar)
{
    LayoutFlatCaption(pBar, m_nButtonGap);
}

BOOL COXDockbarSkinXP::UseSolidCaption(COXSkinnedBar* pBar)
{
    return (pBar->GetSizeBarStyle() & kSolidCaption) != 0;
}

void COXDockbarSkinXP::DrawGripper(CDC* pDC, COXSkinnedBar* pBar)
{
    const DWORD style = pBar->GetSizeBarStyle();
    if ((style & kNoCaption) || IsFloating(pBar))
        return;
    CWnd* pWnd = pBar->GetBarWindow();
    const CPoint origin = ClientOrigin(pWnd);
    const BOOL bSolid = (style & kSolidCaption) != 0;
    const BOOL bLeft = IsDockedHorizontally(pBar);
    CRect strip = pBar->GetCaptionRect();
    if (bSolid) {
        strip.UnionRect(&strip, &pBar->GetCloseRect());
        strip.UnionRect(&strip, &pBar->GetExpandRect());
        strip.InflateRect(3, 3);
    }
    strip.OffsetRect(origin);
    if (bSolid) {
        CRect fill(strip.left + (bLeft ? 2 : 1), strip.top + 2, strip.right - 1, strip.bottom - 1);
        pDC->FillSolidRect(&fill, Sys(COLOR_INACTIVECAPTION));
    } else if (bLeft) {
        strip.DeflateRect(2, 0);
    } else {
        strip.DeflateRect(4, 2);
    }

    const CString text = WindowText(pWnd);
    const BOOL bTitle = !(style & kNoCaptionText) && !text.IsEmpty();
    int textEnd = 0;
    if (bTitle) {
        const int lead = (bLeft ? 6 : 0) + (bSolid ? 4 : 0);
        textEnd = DrawStripTitle(pDC, text, strip, bLeft, lead, &m_fontCaption,
                                 Sys(bSolid ? COLOR_CAPTIONTEXT : COLOR_WINDOWTEXT), bSolid);
    }
    if (bSolid)
        return;
    const COLORREF clr = m_pSkin->GetGripperColor();
    if (!bLeft) {
        const int start = bTitle ? textEnd + 3 : strip.left;
        if (strip.right - 1 - start >= 6)
            for (int i = 0; i < 4; ++i)
                pDC->FillSolidRect(start, strip.top + 3 + 2 * i, strip.right - 1 - start, 1, clr);
    } else {
        const int end = bTitle ? textEnd - 3 - 1 : strip.bottom;
        if (end - strip.top >= 6)
            for (int i = 0; i < 4; ++i)
                pDC->FillSolidRect(strip.left + 3 + 2 * i, strip.top, 1, end - strip.top, clr);
    }
}

void COXDockbarSkinXP::DrawButton(CDC* pDC, COXSkinnedBar* pBar, const CRect& rectClient,
                                  UINT nType, BOOL bDisabled)
{
    CWnd* pWnd = pBar->GetBarWindow();
    CRect rect = rectClient;
    rect.OffsetRect(ClientOrigin(pWnd));
    rect.InflateRect(1, 1, 2, 2);
    const BOOL bSolid = UseSolidCaption(pBar);
    m_pSkin->DrawCaptionButton(pDC, rect, nType, bDisabled, bSolid,
                               Sys(bSolid ? COLOR_INACTIVECAPTION : COLOR_BTNFACE), pWnd);
}

void COXDockbarSkinXP::DrawCloseButton(CDC* pDC, COXSkinnedBar* pBar)
{
    if ((pBar->GetSizeBarStyle() & kNoClose) || IsFloating(pBar))
        return;
    DrawButton(pDC, pBar, pBar->GetCloseRect(), DFCS_CAPTIONCLOSE, FALSE);
}

void COXDockbarSkinXP::DrawExpandButton(CDC* pDC, COXSkinnedBar* pBar)
{
    if ((pBar->GetSizeBarStyle() & kNoExpand) || IsFloating(pBar))
        return;
    DrawButton(pDC, pBar, pBar->GetExpandRect(),
               pBar->IsBarExpanded() ? DFCS_CAPTIONMIN : DFCS_CAPTIONMAX, !pBar->CanExpand());
}

void COXDockbarSkinXP::DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar*)
{
    pDC->FillSolidRect(&rect, Sys(COLOR_BTNFACE));
}

void COXDockbarSkinXP::DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd*)
{
    CRect r = pSplitter->m_rect;
    r.bottom = std::min<int>(r.bottom, 8000);
    pDC->FillSolidRect(&r, Sys(COLOR_BTNFACE));
    const COLORREF clr = m_pSkin->GetSeparatorColor();
    if (pSplitter->m_nType == 1)
        pDC->FillSolidRect((r.left + r.right) / 2, r.top, 1, r.Height(), clr);
    else
        pDC->FillSolidRect(r.left, (r.top + r.bottom) / 2, r.Width(), 1, clr);
}

void COXDockbarSkinXP::DrawDockBarNonClient(CWnd* pDockBar)
{
    FillNonClient(pDockBar, m_pSkin->GetDockBarBackgroundColor());
}

void COXDockbarSkinXP::EraseDockBarBackground(CDC* pDC, CWnd* pDockBar)
{
    CRect rect;
    pDockBar->GetClientRect(&rect);
    pDC->FillSolidRect(&rect, Sys(COLOR_BTNFACE));
}

COLORREF COXDockbarSkinXP::GetClientFrameColor()
{
    return m_pSkin->GetBorderColor();
}

// --- 2003 ---

COXDockbarSkin2003::COXDockbarSkin2003(COXSkin2003* pSkin) : COXDockbarSkinXP(pSkin) {}

COXSkin2003* COXDockbarSkin2003::Skin2003() const
{
    return static_cast<COXSkin2003*>(m_pSkin);
}

void COXDockbarSkin2003::CalcBarClientRect(BOOL, CRect& rect, COXSkinnedBar* pBar)
{
    ReserveCaption(rect, pBar, 24);
}

void COXDockbarSkin2003::LayoutCaption(COXSkinnedBar* pBar)
{
    CRect strip = WindowRectInClient(pBar->GetBarWindow());
    CRect& rectClose = pBar->GetCloseRect();
    CRect& rectExpand = pBar->GetExpandRect();
    rectClose.SetRectEmpty();
    rectExpand.SetRectEmpty();
    const DWORD style = pBar->GetSizeBarStyle();
    const BOOL bClose = !(style & kNoClose);
    if (!(style & kNoCaption) && !IsFloating(pBar)) {
        if (IsDockedHorizontally(pBar)) {
            strip.DeflateRect(0, 2);
            strip.right = strip.left + 24;
            if (bClose)
                rectClose.SetRect(strip.left + 7, strip.top + 7, strip.left + 18, strip.top + 18);
            if (!(style & kNoExpand)) {
                const int width = strip.Width();
                rectExpand.SetRect(strip.left + 7, strip.top + 7, strip.right - 6,
                                   strip.top + width - 6);
                if (bClose)
                    rectExpand.OffsetRect(0, width - 10);
            }
        } else {
            strip.DeflateRect(2, 0);
            strip.bottom = strip.top + 24;
            if (bClose)
                rectClose.SetRect(strip.right - 17, strip.top + 7, strip.right - 6,
                                  strip.bottom - 6);
            if (!(style & kNoExpand)) {
                rectExpand.SetRect(strip.right - 17, strip.top + 7, strip.right - 6,
                                   strip.bottom - 6);
                if (bClose)
                    rectExpand.OffsetRect(-14, 0);
            }
        }
    }
    pBar->GetCaptionRect() = strip;
    pBar->SetCaptionPending(FALSE);
}

void COXDockbarSkin2003::DrawGripper(CDC* pDC, COXSkinnedBar* pBar)
{
    const DWORD style = pBar->GetSizeBarStyle();
    if ((style & kNoCaption) || IsFloating(pBar))
        return;
    COXSkin2003* pSkin = Skin2003();
    CWnd* pWnd = pBar->GetBarWindow();
    const CPoint origin = ClientOrigin(pWnd);
    const BOOL bLeft = IsDockedHorizontally(pBar);
    CRect strip = pBar->GetCaptionRect();
    strip.OffsetRect(origin);
    // Windows 95, 98 and Me (the top bit of the version) draw it one line at a time.
    if (::GetVersion() & 0x80000000)
        COXSkin2003::DrawGradientLines(pDC, strip, pSkin->GetCaptionGradientStartColor(),
                                       pSkin->GetCaptionGradientEndColor(), !bLeft);
    else
        pSkin->DrawGradient(pDC, strip, pSkin->GetCaptionGradientStartColor(),
                            pSkin->GetCaptionGradientEndColor(), !bLeft);

    // A bar that does not start its row keeps a band of the dock bar's colour before it.
    CRect rectInParent;
    pWnd->GetWindowRect(&rectInParent);
    if (CWnd* pParent = pWnd->GetParent())
        pParent->ScreenToClient(&rectInParent);
    if (bLeft && rectInParent.left > 0)
        pDC->FillSolidRect(strip.left, strip.top, 2, strip.Height(),
                           pSkin->GetDockBarBackgroundColor());
    else if (!bLeft && rectInParent.top > 0)
        pDC->FillSolidRect(strip.left, strip.top, strip.Width(), 2,
                           pSkin->GetDockBarBackgroundColor());

    if (bLeft)
        pSkin->DrawGripperPattern(
            pDC, CRect(strip.left + 6, strip.bottom - 7, strip.right - 6, strip.bottom - 5), TRUE);
    else
        pSkin->DrawGripperPattern(
            pDC, CRect(strip.left + 3, strip.top + 6, strip.left + 5, strip.bottom - 6), FALSE);

    const CString text = WindowText(pWnd);
    if ((style & kNoCaptionText) || text.IsEmpty())
        return;
    CFont* pOldFont = pDC->SelectObject(&m_fontCaption);
    int oldMode = pDC->SetBkMode(TRANSPARENT);
    if (!bLeft) {
        CRect rect = strip;
        rect.OffsetRect(13, 2);
        const CRect& first = !pBar->GetCloseRect().IsRectEmpty() ? pBar->GetCloseRect()
                                                                 : pBar->GetExpandRect();
        if (!first.IsRectEmpty())
            rect.right = first.left + origin.x - 1;
        pDC->DrawText(text, &rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    } else {
        LOGFONT lf{};
        m_fontCaption.GetLogFont(&lf);
        lf.lfEscapement = lf.lfOrientation = 900;
        CFont rotated;
        rotated.CreateFontIndirect(&lf);
        pDC->SelectObject(&rotated);
        const CRect& rectExpand = pBar->GetExpandRect();
        const CRect& rectClose = pBar->GetCloseRect();
        const CRect& first = !rectExpand.IsRectEmpty() ? rectExpand : rectClose;
        const int top = first.IsRectEmpty() ? 0 : first.bottom + origin.y + 1;
        CRect rect(6, top, strip.Height(), strip.bottom + 2);
        pDC->DrawText(text, &rect, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS);
        pDC->SelectObject(&m_fontCaption);
    }
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(pOldFont);
}

void COXDockbarSkin2003::DrawBarBackground(CDC* pDC, const CRect& rect, COXSkinnedBar*)
{
    pDC->FillSolidRect(&rect, Skin2003()->GetDockBarBackgroundColor());
}

void COXDockbarSkin2003::DrawSplitter(CDC* pDC, COXSplitterRect* pSplitter, CWnd*)
{
    CRect r = pSplitter->m_rect;
    r.bottom = std::min<int>(r.bottom, 8000);
    pDC->FillSolidRect(&r, Skin2003()->GetDockBarBackgroundColor());
    const COLORREF clr = Skin2003()->GetSplitterLineColor();
    if (pSplitter->m_nType == 1)
        pDC->FillSolidRect((r.left + r.right) / 2, r.top, 1, r.Height(), clr);
    else
        pDC->FillSolidRect(r.left, (r.top + r.bottom) / 2, r.Width(), 1, clr);
}

void COXDockbarSkin2003::DrawDockBarNonClient(CWnd* pDockBar)
{
    if (HoldsSizableBar(pDockBar)) {
        FillNonClient(pDockBar, Skin2003()->GetDockBarBackgroundColor());
        return;
    }
    // One gradient across all dock bars of a frame: the band starts at the frame's left edge.
    CWindowDC dc(pDockBar);
    CRect rectWindow, rectClient;
    pDockBar->GetWindowRect(&rectWindow);
    pDockBar->GetClientRect(&rectClient);
    rectClient.OffsetRect(ClientOrigin(pDockBar));
    CRect rectFrame = rectWindow;
    if (CWnd* pFrame = ParentFrameOf(pDockBar))
        pFrame->GetWindowRect(&rectFrame);
    const int xBand = rectFrame.left - rectWindow.left;
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    ::ExcludeClipRect(dc, rectClient.left, rectClient.top, rectClient.right, rectClient.bottom);
    Skin2003()->DrawDockBarGradient(&dc, rectWindow, xBand, rectFrame.Width());
}

void COXDockbarSkin2003::EraseDockBarBackground(CDC* pDC, CWnd* pDockBar)
{
    CRect rect;
    pDockBar->GetClientRect(&rect);
    Skin2003()->DrawDockBarGradient(pDC, rect, rect.left, rect.Width());
}
