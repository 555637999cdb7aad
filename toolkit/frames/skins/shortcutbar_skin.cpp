// The shortcut-bar element skins. Every call makes and deletes its own GDI objects and leaves
// the DC as it found it.
#include "toolkit/frames/skins/shortcutbar_skin.h"

#include <algorithm>

#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"
#include "toolkit/frames/skins/skin.h"

namespace {

COLORREF Light(COLORREF clr)
{
    return AdjustColorBrightness(clr, 64);
}

COLORREF Dark(COLORREF clr)
{
    return AdjustColorBrightness(clr, -128);
}

bool IsShortcutBarList(CWnd* pWnd)
{
    return pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(COXSHBListCtrl));
}

// The bar a window paints for: itself, or the parent bar of one of its lists.
COXShortcutBar* BarOf(CWnd* pWnd)
{
    if (pWnd == nullptr)
        return nullptr;
    if (pWnd->IsKindOf(RUNTIME_CLASS(COXShortcutBar)))
        return static_cast<COXShortcutBar*>(pWnd);
    CWnd* pParent = pWnd->GetParent();
    if (pParent != nullptr && pParent->IsKindOf(RUNTIME_CLASS(COXShortcutBar)))
        return static_cast<COXShortcutBar*>(pParent);
    return nullptr;
}

// A list paints each item into a bitmap of the item's size whose origin is rect's corner.
CRect PieceRect(const CRect& rect, CWnd* pWnd)
{
    CRect piece = rect;
    if (IsShortcutBarList(pWnd))
        piece.OffsetRect(-rect.left, -rect.top);
    return piece;
}

// One arrow 7 pixels wide whose box starts at x; bUp points it at rect's top edge.
void DrawArrow(CDC* pDC, const CRect& rect, int x, BOOL bUp, COLORREF clr)
{
    for (int row = 0; row < 4; ++row) {
        const int y = bUp ? rect.top + row : rect.bottom - 1 - row;
        pDC->FillSolidRect(x + 3 - row, y, 2 * row + 1, 1, clr);
    }
    const int shaftTop = bUp ? rect.top + 3 : rect.bottom - 9;
    pDC->FillSolidRect(x + 2, shaftTop, 3, 6, clr);
}

} // namespace

// --- COXShortcutBarSkin ---

COLORREF COXShortcutBarSkin::HeaderColor(HSHBGROUP hGroup, COXShortcutBar* pBar)
{
    const COLORREF clr = pBar->GetGroupHeaderBkColor(hGroup);
    return hGroup == pBar->GetDragGroup() ? InvertColor(clr) : clr;
}

int COXShortcutBarSkin::DrawGroupImage(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC, int x,
                                       int y)
{
    CImageList* pImages = pBar->GetImageList();
    if (pImages == nullptr || pImages->GetSafeHandle() == nullptr)
        return 0;
    const int nImage = hGroup == pBar->GetExpandedGroup() ? pBar->GetGroupImageExpanded(hGroup)
                                                          : pBar->GetGroupImage(hGroup);
    if (nImage < 0 || nImage >= pImages->GetImageCount())
        return 0;
    pImages->Draw(pDC, nImage, CPoint(x, y), ILD_TRANSPARENT);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(pImages->GetSafeHandle(), &cx, &cy);
    return cx;
}

void COXShortcutBarSkin::DrawGroupText(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC,
                                       const CRect& rect, UINT nFormat, BOOL bBold)
{
    const CString text = pBar->GetGroupText(hGroup);
    if (text.IsEmpty() || rect.Width() <= 0)
        return;
    COLORREF clr = pBar->GetGroupHeaderTextColor(hGroup);
    if (hGroup == pBar->GetDragGroup())
        clr = InvertColor(clr);
    LOGFONT lf = *pBar->GetGroupHeaderFont(hGroup);
    if (bBold || ((pBar->GetBarStyle() & SHB_STYLE_BOLDEXPANDED) != 0 &&
                  hGroup == pBar->GetExpandedGroup()))
        lf.lfWeight = std::min<LONG>((lf.lfWeight == 0 ? 400 : lf.lfWeight) + 300, 1000);
    CFont font;
    font.CreateFontIndirect(&lf);
    CFont* pOldFont = pDC->SelectObject(&font);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = pDC->SetTextColor(clr);
    CRect rectText = rect;
    pDC->DrawText(text, &rectText, nFormat);
    pDC->SetTextColor(oldColor);
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(pOldFont);
}

void COXShortcutBarSkin::DrawDropArrows(HSHBGROUP hGroup, COXShortcutBar* pBar, CDC* pDC,
                                        const CRect& rect)
{
    const HSHBGROUP hDragged = pBar->GetDragGroup();
    if (hDragged == 0 || hGroup != pBar->GetDropTargetGroup() || hGroup == hDragged)
        return;
    const COLORREF clr = AreColorsSimilar(HeaderColor(hGroup, pBar), RGB(255, 0, 0), 64)
                             ? RGB(0, 0, 255)
                             : RGB(255, 0, 0);
    CBrush brush(clr);
    CRect rectMarks = rect;
    pDC->FrameRect(&rectMarks, &brush);
    rectMarks.DeflateRect(4, 4);
    const int nTarget = pBar->GetGroupOrder(hGroup);
    const int nDragged = pBar->GetGroupOrder(hDragged);
    if (nTarget == nDragged)
        return;
    const BOOL bUp = nTarget < nDragged;
    DrawArrow(pDC, rectMarks, rectMarks.left, bUp, clr);
    DrawArrow(pDC, rectMarks, rectMarks.right - 7, bUp, clr);
}

void COXShortcutBarSkin::DrawHeaderFrames(LPDRAWITEMSTRUCT lpDrawItemStruct,
                                          COXShortcutBar* pBar)
{
    const HSHBGROUP hGroup = lpDrawItemStruct->itemID;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const COLORREF h = HeaderColor(hGroup, pBar);
    const COLORREF light = Light(h);
    const COLORREF dark = Dark(h);
    COLORREF outer[2] = {light, dark};
    COLORREF inner[2] = {light, dark};
    if ((pBar->GetBarStyle() & SHB_STYLE_HOTHEADERS) != 0) {
        const HSHBGROUP hPressed = pBar->GetPressedGroup();
        const BOOL bHot = hGroup == pBar->GetHotGroup();
        if (hGroup == pBar->GetDragGroup() || pBar->IsCreatingDragImage()) {
            inner[0] = inner[1] = h;
        } else if (hPressed == 0 || hPressed != hGroup) {
            inner[0] = h;
            inner[1] = (hPressed == 0 && bHot) ? dark : h;
        } else if (bHot) { // pressed and under the pointer: sunken
            outer[0] = dark;
            outer[1] = h;
            inner[0] = dark;
            inner[1] = light;
        } else {
            inner[0] = h;
            inner[1] = dark;
        }
    }
    CRect rect = lpDrawItemStruct->rcItem;
    pDC->Draw3dRect(&rect, outer[0], outer[1]);
    rect.DeflateRect(1, 1);
    pDC->Draw3dRect(&rect, inner[0], inner[1]);
    rect.DeflateRect(1, 1);
    pDC->FillSolidRect(&rect, h);
}

void COXShortcutBarSkin::DrawHeaderContents(LPDRAWITEMSTRUCT lpDrawItemStruct,
                                            COXShortcutBar* pBar)
{
    const HSHBGROUP hGroup = lpDrawItemStruct->itemID;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect = lpDrawItemStruct->rcItem;
    const int margin = 2 * pDC->GetTextExtent(" ", 1).cx;
    const int x = rect.left + margin;
    const int cxImage = DrawGroupImage(hGroup, pBar, pDC, x, rect.top);
    CRect rectText(x + cxImage, rect.top, rect.right - margin, rect.bottom);
    DrawGroupText(hGroup, pBar, pDC, rectText, pBar->GetGroupHeaderTextFormat(hGroup), FALSE);
    DrawDropArrows(hGroup, pBar, pDC, rect);
}

// --- Classic ---

COLORREF COXShortcutBarSkinClassic::GetBackgroundColor(COXShortcutBar*)
{
    return ::GetSysColor(COLOR_BTNSHADOW);
}

COLORREF COXShortcutBarSkinClassic::GetTextColor(COXShortcutBar*)
{
    return ::GetSysColor(COLOR_CAPTIONTEXT);
}

void COXShortcutBarSkinClassic::DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot,
                                              BOOL bPressed, CWnd* pList)
{
    if (pList == nullptr || (!bHot && !bPressed))
        return;
    const COLORREF p = static_cast<COLORREF>(pList->SendMessage(LVM_GETBKCOLOR));
    if (bPressed)
        pDC->Draw3dRect(&rect, Dark(p), Light(p));
    else
        pDC->Draw3dRect(&rect, Light(p), Dark(p));
}

void COXShortcutBarSkinClassic::FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd,
                                               BOOL bUseColor, COLORREF clr)
{
    pDC->FillSolidRect(PieceRect(rect, pWnd), bUseColor ? clr : GetBackgroundColor(BarOf(pWnd)));
}

void COXShortcutBarSkinClassic::DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct,
                                                COXShortcutBar* pBar)
{
    DrawHeaderFrames(lpDrawItemStruct, pBar);
    DrawHeaderContents(lpDrawItemStruct, pBar);
}

// --- XP ---

COLORREF COXShortcutBarSkinXP::GetBackgroundColor(COXShortcutBar*)
{
    return m_pSkinXP->GetToolbarBackgroundColor();
}

COLORREF COXShortcutBarSkinXP::GetTextColor(COXShortcutBar*)
{
    return ::GetSysColor(COLOR_WINDOWTEXT);
}

void COXShortcutBarSkinXP::DrawItemFrame(CDC* pDC, const CRect& rect, BOOL bHot, BOOL bPressed,
                                         CWnd*)
{
    if (!bHot && !bPressed)
        return;
    const COLORREF fill = bHot ? (bPressed ? m_pSkinXP->GetPressedItemColor()
                                           : m_pSkinXP->GetHotItemColor())
                               : m_pSkinXP->GetCheckedItemColor();
    CPen pen(PS_SOLID, 1, m_pSkinXP->GetHighlightBorderColor());
    CBrush brush(fill);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->Rectangle(&rect);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

void COXShortcutBarSkinXP::FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd,
                                          BOOL bUseColor, COLORREF clr)
{
    pDC->FillSolidRect(PieceRect(rect, pWnd), bUseColor ? clr : GetBackgroundColor(BarOf(pWnd)));
}

void COXShortcutBarSkinXP::DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct,
                                           COXShortcutBar* pBar)
{
    DrawHeaderFrames(lpDrawItemStruct, pBar);
    DrawHeaderContents(lpDrawItemStruct, pBar);
}

// --- 2003 ---

COXShortcutBarSkin2003::COXShortcutBarSkin2003(COXSkin2003* pSkin)
    : COXShortcutBarSkinXP(pSkin), m_pSkin2003(pSkin)
{
    m_bHeadersFromTop = FALSE;
}

void COXShortcutBarSkin2003::FillBackground(CDC* pDC, const CRect& rect, CWnd* pWnd,
                                            BOOL bUseColor, COLORREF clr)
{
    CRect area = rect;
    COXShortcutBar* pBar = BarOf(pWnd);
    if (IsShortcutBarList(pWnd) && pBar != nullptr) {
        // One gradient over the whole bar, whichever piece of which list is painted.
        pBar->GetClientRect(&area);
        pBar->ClientToScreen(&area);
        pWnd->ScreenToClient(&area);
        area.OffsetRect(-rect.left, -rect.top);
    }
    if (bUseColor) {
        pDC->FillSolidRect(&area, clr);
        return;
    }
    const COLORREF light = m_pSkin2003->GetShortcutBarLightColor();
    const COLORREF mid = m_pSkin2003->GetShortcutBarMidColor();
    m_pSkin2003->DrawCornerGradient(pDC, area, light, mid, mid, mid);
}

void COXShortcutBarSkin2003::DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct,
                                             COXShortcutBar* pBar)
{
    const HSHBGROUP hGroup = lpDrawItemStruct->itemID;
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    const CRect rect = lpDrawItemStruct->rcItem;
    const COLORREF light = m_pSkin2003->GetShortcutBarLightColor();
    const COLORREF orange = RGB(238, 149, 21);
    const BOOL bExpanded = hGroup == pBar->GetExpandedGroup();
    const BOOL bHot = hGroup == pBar->GetHotGroup() && !pBar->IsCreatingDragImage();
    COLORREF top = light;
    COLORREF bottom = m_pSkin2003->GetShortcutBarMidColor();
    if (bExpanded && bHot) {
        top = orange;
        bottom = light;
    } else if (bExpanded) {
        bottom = orange;
    } else if (bHot) {
        bottom = RGB(247, 192, 91);
    }
    m_pSkin2003->DrawCornerGradient(pDC, rect, top, top, bottom, bottom);
    pDC->FillSolidRect(rect.left, rect.bottom - 1, rect.Width(), 1, RGB(0, 45, 150));

    const int cxImage = DrawGroupImage(hGroup, pBar, pDC, rect.left + 6, rect.top + 6);
    CRect rectText = rect;
    rectText.OffsetRect(6, 6);
    rectText.left += cxImage + 6;
    DrawGroupText(hGroup, pBar, pDC, rectText,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS, TRUE);
    DrawDropArrows(hGroup, pBar, pDC, rect);
}

void COXShortcutBarSkin2003::DrawBarDecoration(COXShortcutBar* pBar, CDC* pDC)
{
    CRect band;
    pBar->GetClientRect(&band);
    band.bottom = band.top + kTitleBandHeight;
    m_pSkin2003->DrawCornerGradient(pDC, band, RGB(85, 131, 211), RGB(85, 131, 211),
                                    RGB(3, 56, 147), RGB(3, 56, 147));
    const HSHBGROUP hExpanded = pBar->GetExpandedGroup();
    const CString text = hExpanded != 0 ? pBar->GetGroupText(hExpanded) : CString();
    if (!text.IsEmpty()) {
        LOGFONT lf = *pBar->GetGroupHeaderFont(hExpanded);
        lf.lfHeight = 22;
        lf.lfWeight = 700;
        CFont font;
        font.CreateFontIndirect(&lf);
        CFont* pOldFont = pDC->SelectObject(&font);
        const int oldMode = pDC->SetBkMode(TRANSPARENT);
        const COLORREF oldColor = pDC->SetTextColor(RGB(255, 255, 255));
        CRect rectText = band;
        rectText.OffsetRect(6, 2);
        pDC->DrawText(text, &rectText, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        pDC->SetTextColor(oldColor);
        pDC->SetBkMode(oldMode);
        pDC->SelectObject(pOldFont);
    }
    pDC->ExcludeClipRect(&band);
}
